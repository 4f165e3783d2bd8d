#include "ui/needle_gauge.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "ui/font_cache.h"
#include "ui/gdi.h"

namespace veltrano::ui {
namespace {

constexpr const char* kGaugeClass = "TVeltranoNeedleGauge";
constexpr COLORREF kDialColor = RGB(255, 255, 240);
constexpr COLORREF kScaleColor = RGB(0, 0, 0);
constexpr COLORREF kRedZoneColor = RGB(200, 0, 0);
constexpr COLORREF kNeedleColor = RGB(220, 0, 0);
constexpr COLORREF kPivotColor = RGB(40, 40, 40);
constexpr int kMajorTicks = 10;  // a numbered tick every tenth of the range
constexpr int kMinorPerMajor = 5;

// The layout of one drawing: pivot at the bottom centre of the dial, the scale a half
// circle above it, the caption and value under the pivot.
struct Layout {
  RECT dial{};
  POINT pivot{};
  int radius;
  RECT caption{};
};

Layout MakeLayout(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const int captionHeight = std::max(14, height / 6);
  Layout layout{};
  layout.dial = {area.left + 2, area.top + 2, area.right - 2, area.bottom - captionHeight - 2};
  layout.caption = {area.left, area.bottom - captionHeight - 2, area.right, area.bottom - 2};
  const int dialHeight = layout.dial.bottom - layout.dial.top;
  layout.pivot = {area.left + width / 2, layout.dial.bottom - std::max(8, dialHeight / 10)};
  // Room for the numbers outside the ring of ticks, where the needle never reaches.
  layout.radius = std::max(4, std::min<int>(width / 2 - 26, layout.pivot.y - layout.dial.top - 20));
  return layout;
}

// A point at `distance` from the pivot in the direction of `fraction` of the scale:
// 0 points left, 1 points right, over the top.
POINT OnScale(const Layout& layout, double fraction, double distance) {
  const double angle = std::numbers::pi * (1.0 - std::clamp(fraction, 0.0, 1.0));
  return {layout.pivot.x + static_cast<LONG>(std::lround(distance * std::cos(angle))),
          layout.pivot.y - static_cast<LONG>(std::lround(distance * std::sin(angle)))};
}

void Line(HDC dc, POINT from, POINT to) {
  MoveToEx(dc, from.x, from.y, nullptr);
  LineTo(dc, to.x, to.y);
}

void DrawDial(HDC dc, const RECT& area, const Layout& layout) {
  OwnedBrush face(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
  FillRect(dc, &area, face.Get());
  RECT dial = layout.dial;
  OwnedBrush dialBrush(CreateSolidBrush(kDialColor));
  FillRect(dc, &dial, dialBrush.Get());
  DrawEdge(dc, &dial, EDGE_SUNKEN, BF_RECT);
}

void DrawScale(HDC dc, const Layout& layout, int minimum, int maximum) {
  OwnedPen scalePen(CreatePen(PS_SOLID, 1, kScaleColor));
  OwnedPen redPen(CreatePen(PS_SOLID, 2, kRedZoneColor));
  const int radius = layout.radius;
  {
    // The last fifth of the scale is the red zone.
    ScopedSelect pen(dc, redPen.Get());
    for (int step = 80; step < 100; ++step) {
      Line(dc, OnScale(layout, step / 100.0, radius - 1),
           OnScale(layout, (step + 1) / 100.0, radius - 1));
    }
  }
  ScopedSelect pen(dc, scalePen.Get());
  ScopedSelect font(dc, FontCache::Instance().Default());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kScaleColor);
  const int ticks = kMajorTicks * kMinorPerMajor;
  const int majorLength = std::max(4, radius / 6);
  const int minorLength = std::max(2, radius / 12);
  for (int tick = 0; tick <= ticks; ++tick) {
    const double fraction = static_cast<double>(tick) / ticks;
    const bool major = tick % kMinorPerMajor == 0;
    Line(dc, OnScale(layout, fraction, radius - (major ? majorLength : minorLength)),
         OnScale(layout, fraction, radius));
    if (!major || radius < 30) continue;
    const int value = minimum + static_cast<int>(std::lround(fraction * (maximum - minimum)));
    const std::string number = std::to_string(value);
    const POINT at = OnScale(layout, fraction, radius + 12);
    RECT box{at.x - 14, at.y - 7, at.x + 14, at.y + 7};
    DrawTextA(dc, number.c_str(), static_cast<int>(number.size()), &box,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

void DrawNeedle(HDC dc, const Layout& layout, double fraction) {
  OwnedPen needlePen(CreatePen(PS_SOLID, 3, kNeedleColor));
  {
    ScopedSelect pen(dc, needlePen.Get());
    Line(dc, layout.pivot, OnScale(layout, fraction, layout.radius - 4));
  }
  OwnedBrush pivotBrush(CreateSolidBrush(kPivotColor));
  ScopedSelect brush(dc, pivotBrush.Get());
  ScopedSelect pen(dc, GetStockObject(NULL_PEN));
  const int size = std::max(3, layout.radius / 14);
  Ellipse(dc, layout.pivot.x - size, layout.pivot.y - size, layout.pivot.x + size + 1,
          layout.pivot.y + size + 1);
}

void DrawCaption(HDC dc, const Layout& layout, const std::string& text) {
  ScopedSelect font(dc, FontCache::Instance().Bold());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT box = layout.caption;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

NeedleGauge::NeedleGauge(Widget& parent, const NeedleGaugeArgs& args)
    : caption_(args.caption),
      minimum_(args.minimum),
      maximum_(std::max(args.maximum, args.minimum + 1)),
      position_(std::clamp(args.position, minimum_, maximum_)) {
  CreateHandle({.className = kGaugeClass,
                .style = WS_CHILD | WS_VISIBLE,
                .bounds = args.bounds,
                .parent = parent.Handle(),
                .background = nullptr});
  UpdateText();
}

void NeedleGauge::SetPosition(int position) {
  position = std::clamp(position, minimum_, maximum_);
  if (position == position_) return;
  position_ = position;
  UpdateText();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void NeedleGauge::SetCaption(const std::string& caption) {
  caption_ = caption;
  UpdateText();
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void NeedleGauge::UpdateText() {
  SetText(caption_ + " " + std::to_string(position_));
}

void NeedleGauge::Paint(HDC dc, const RECT& area) const {
  const Layout layout = MakeLayout(area);
  DrawDial(dc, area, layout);
  DrawScale(dc, layout, minimum_, maximum_);
  const double fraction = static_cast<double>(position_ - minimum_) / (maximum_ - minimum_);
  DrawNeedle(dc, layout, fraction);
  DrawCaption(dc, layout, caption_ + " " + std::to_string(position_));
}

}  // namespace veltrano::ui
