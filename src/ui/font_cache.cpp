#include "ui/font_cache.h"

namespace veltrano::ui {

FontCache& FontCache::Instance() {
  static FontCache cache;
  return cache;
}

HFONT FontCache::Get(const FontSpec& fontSpec) {
  const int height = fontSpec.height > 0 ? fontSpec.height : kDefaultFontHeight;
  const std::string face = fontSpec.face.empty() ? kDefaultFontFace : fontSpec.face;
  Key key{height, fontSpec.bold, fontSpec.underline, face};
  auto found = fonts_.find(key);
  if (found != fonts_.end()) return found->second.Get();

  LOGFONTA description{};
  description.lfHeight = -height;  // negative: character height, not cell height
  description.lfWeight = fontSpec.bold ? FW_BOLD : FW_NORMAL;
  description.lfUnderline = fontSpec.underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(description.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectA(&description);
  if (!font) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_.emplace(std::move(key), OwnedFont(font));
  return font;
}

}  // namespace veltrano::ui
