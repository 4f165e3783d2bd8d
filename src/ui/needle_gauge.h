// A custom-drawn meter: a needle from a pivot over an arc scale with ticks, a caption
// and the value. Its window text is caption and position ("Optimized % 42") so screen
// readers and test drivers can read it through WM_GETTEXT.
#pragma once

#include <windows.h>

#include <string>

#include "ui/window.h"

namespace veltrano::ui {

struct NeedleGaugeArgs {
  std::string caption{};  // e.g. "Optimized %"
  Bounds bounds{};
  int minimum = 0;
  int maximum = 100;
  int position = 0;
};

class NeedleGauge : public PaintedWindow {
 public:
  NeedleGauge(Widget& parent, const NeedleGaugeArgs& args);

  int Position() const { return position_; }
  void SetPosition(int position);  // clamped to the range; repaints
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);

  // Draws the whole gauge into `dc` over `area`; used by WM_PAINT (through an
  // off-screen bitmap) and WM_PRINTCLIENT.
  void Paint(HDC dc, const RECT& area) const override;

 private:
  void UpdateText();

  std::string caption_;
  int minimum_;
  int maximum_;
  int position_;
};

}  // namespace veltrano::ui
