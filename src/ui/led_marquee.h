// An LED dot-matrix marquee: a row of character cells, each a 5 by 7 dot matrix on
// black, scrolling its text from right to left one cell per step. Its window text is
// the whole message, so screen readers and test drivers read it through WM_GETTEXT.
// It steps on a timer of its own window: a ui::Timer would make a hidden top-level
// window, which costs the start-up of the wizard more than the rest of the marquee.
#pragma once

#include <windows.h>

#include <string>

#include "ui/window.h"

namespace veltrano::ui {

struct LedMarqueeArgs {
  std::string text{};
  Bounds bounds{};
  int cells = 26;
  unsigned stepInterval = 500;  // milliseconds per step
  bool scrolling = true;
  COLORREF litColor = RGB(0, 200, 255);
};

class LedMarquee : public PaintedWindow {
 public:
  LedMarquee(Widget& parent, const LedMarqueeArgs& args);

  void SetMessage(const std::string& text);  // starts again from a blank display
  const std::string& Message() const { return message_; }
  int Cells() const { return cells_; }

  // One step to the left; the message enters at the right edge and, once it has left
  // at the left edge, comes round again.
  void Step();
  // The characters the cells show now, left to right (blanks included).
  std::string Shown() const;

  void SetScrolling(bool scrolling);
  bool Scrolling() const { return scrolling_; }

  // Draws the cells into `dc` over `area`; used by WM_PAINT and WM_PRINTCLIENT.
  void Paint(HDC dc, const RECT& area) const override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::string message_;
  int cells_;
  COLORREF litColor_;
  size_t offset_ = 0;
  unsigned stepInterval_;
  bool scrolling_ = false;
};

}  // namespace veltrano::ui
