// A picture: a bitmap drawn into a box, stretched to it or at its top-left corner.
#pragma once

#include <windows.h>

#include <string>

#include "ui/gdi.h"
#include "ui/window.h"

namespace veltrano::ui {

// A bitmap resource of the module (e.g. a decoded picture embedded at build time) as a
// DIB section; empty when there is no such resource.
OwnedBitmap LoadBitmapResource(HINSTANCE module, const char* name);

struct PictureArgs {
  Bounds bounds{};
  bool stretch = true;
  std::string description{};  // window text, for screen readers
};

class Picture : public PaintedWindow {
 public:
  Picture(Widget& parent, const PictureArgs& args);

  void SetBitmap(OwnedBitmap bitmap);  // the picture owns it from now on
  bool HasBitmap() const { return static_cast<bool>(bitmap_); }
  SIZE BitmapSize() const;  // {0, 0} without a bitmap

  // Draws into `dc` over `area` (the face colour where there is no picture); used by
  // WM_PAINT and WM_PRINTCLIENT.
  void Paint(HDC dc, const RECT& area) const override;

 private:
  OwnedBitmap bitmap_;
  bool stretch_;
};

}  // namespace veltrano::ui
