// Fonts are borrowed, never owned, by controls: one cache creates each distinct font
// once and deletes them all when the program ends.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "ui/gdi.h"

namespace veltrano::ui {

inline constexpr int kDefaultFontHeight = 11;  // 8 points at 96 dots per inch
inline constexpr const char* kDefaultFontFace = "MS Sans Serif";

struct FontSpec {
  int height = 0;  // character height in pixels; 0 takes kDefaultFontHeight
  bool bold = false;
  bool underline = false;
  std::string face{};  // "" takes kDefaultFontFace
};

class FontCache {
 public:
  static FontCache& Instance();

  // The font so described; created on first use, alive until the program ends.
  // Falls back to the stock GUI font when the system cannot create it.
  HFONT Get(const FontSpec& fontSpec);
  HFONT Default() { return Get({}); }
  HFONT Bold() { return Get({.bold = true}); }

  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

 private:
  FontCache() = default;
  using Key = std::tuple<int, bool, bool, std::string>;
  std::map<Key, OwnedFont> fonts_;
};

}  // namespace veltrano::ui
