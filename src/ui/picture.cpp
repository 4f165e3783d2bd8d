#include "ui/picture.h"

namespace veltrano::ui {
namespace {

constexpr const char* kPictureClass = "TVeltranoPicture";

// Smooth stretching where the system has it; returns the mode to put back.
int SetBestStretchMode(HDC dc) {
  const int previous = SetStretchBltMode(dc, HALFTONE);  // 9x: refused (0), COLORONCOLOR below
  if (!previous) return SetStretchBltMode(dc, COLORONCOLOR);
  SetBrushOrgEx(dc, 0, 0, nullptr);  // halftoning wants the brush origin reset
  return previous;
}

}  // namespace

OwnedBitmap LoadBitmapResource(HINSTANCE module, const char* name) {
  return OwnedBitmap(
      static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

Picture::Picture(Widget& parent, const PictureArgs& args) : stretch_(args.stretch) {
  CreateHandle({.className = kPictureClass,
                .text = args.description,
                .style = WS_CHILD | WS_VISIBLE,
                .bounds = args.bounds,
                .parent = parent.Handle(),
                .background = nullptr});
}

void Picture::SetBitmap(OwnedBitmap bitmap) {
  bitmap_ = std::move(bitmap);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

SIZE Picture::BitmapSize() const {
  BITMAP description{};
  if (!bitmap_ || !GetObjectA(bitmap_.Get(), sizeof(description), &description)) return {0, 0};
  return {description.bmWidth, description.bmHeight};
}

void Picture::Paint(HDC dc, const RECT& area) const {
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  if (!bitmap_) return;
  MemoryDC source(dc);
  if (!source) return;
  ScopedSelect selected(source.Get(), bitmap_.Get());
  const SIZE size = BitmapSize();
  if (stretch_) {
    const int previousMode = SetBestStretchMode(dc);
    StretchBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
               source.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
    SetStretchBltMode(dc, previousMode);
  } else {
    BitBlt(dc, area.left, area.top, size.cx, size.cy, source.Get(), 0, 0, SRCCOPY);
  }
}

}  // namespace veltrano::ui
