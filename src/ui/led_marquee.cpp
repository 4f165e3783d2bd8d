#include "ui/led_marquee.h"

#include <algorithm>

#include "ui/gdi.h"
#include "ui/led_font.h"

namespace veltrano::ui {
namespace {

constexpr const char* kMarqueeClass = "TVeltranoLedMarquee";
constexpr int kDotPitch = 2;  // a dot and a dark gap: 5 dots take 9 pixels, 7 take 13
constexpr int kCellGlyphWidth = (kGlyphColumns - 1) * kDotPitch + 1;
constexpr int kCellGlyphHeight = (kGlyphRows - 1) * kDotPitch + 1;
constexpr UINT_PTR kStepTimer = 1;

}  // namespace

LedMarquee::LedMarquee(Widget& parent, const LedMarqueeArgs& args)
    : message_(args.text),
      cells_(std::max(1, args.cells)),
      litColor_(args.litColor),
      stepInterval_(args.stepInterval == 0 ? 1 : args.stepInterval) {
  CreateHandle({.className = kMarqueeClass,
                .text = args.text,
                .style = WS_CHILD | WS_VISIBLE,
                .bounds = args.bounds,
                .parent = parent.Handle(),
                .background = nullptr});
  SetScrolling(args.scrolling);
}

void LedMarquee::SetScrolling(bool scrolling) {
  scrolling_ = scrolling;
  if (!hwnd_) return;
  // The timer goes with the window; SetTimer on the same id only restarts the period.
  if (scrolling_) {
    SetTimer(hwnd_, kStepTimer, stepInterval_, nullptr);
  } else {
    KillTimer(hwnd_, kStepTimer);
  }
}

LRESULT LedMarquee::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kStepTimer) {
    if (scrolling_) Step();
    return 0;
  }
  return PaintedWindow::HandleMessage(message, wParam, lParam);
}

void LedMarquee::SetMessage(const std::string& text) {
  message_ = text;
  offset_ = 0;
  SetText(text);
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void LedMarquee::Step() {
  // The track is a blank display followed by the message.
  const size_t track = static_cast<size_t>(cells_) + message_.size();
  offset_ = (offset_ + 1) % track;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

std::string LedMarquee::Shown() const {
  const size_t blank = static_cast<size_t>(cells_);
  const size_t track = blank + message_.size();
  std::string shown;
  for (size_t cell = 0; cell < blank; ++cell) {
    const size_t at = (offset_ + cell) % track;
    shown += at < blank ? ' ' : message_[at - blank];
  }
  return shown;
}

void LedMarquee::Paint(HDC dc, const RECT& area) const {
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const int pitch = std::max(1, width / cells_);
  const int left = area.left + (width - pitch * cells_) / 2 + (pitch - kCellGlyphWidth) / 2;
  const int top = area.top + (height - kCellGlyphHeight) / 2;
  const std::string shown = Shown();
  // Unlit dots are not drawn: the black background is the dark state.
  for (int cell = 0; cell < cells_; ++cell) {
    const Glyph& glyph = GlyphFor(shown[static_cast<size_t>(cell)]);
    for (int row = 0; row < kGlyphRows; ++row) {
      for (int column = 0; column < kGlyphColumns; ++column) {
        if (!DotLit(glyph, column, row)) continue;
        SetPixelV(dc, left + cell * pitch + column * kDotPitch, top + row * kDotPitch, litColor_);
      }
    }
  }
}

}  // namespace veltrano::ui
