// The geometry the wizard's pages share: where a page sits on the main window, the
// text at its top, its choices and the row of buttons along its bottom.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"

namespace veltrano::page_layout {

inline constexpr ui::Bounds kPageBounds{136, 96, 314, 201};
inline constexpr int kTextTop = 8;
inline constexpr int kButtonTop = 168;
// Left to right: "< &Back" (or "&Program Options"), "&Next >", "&Exit".
inline constexpr int kLeftButton = 56;
inline constexpr int kMiddleButton = 144;
inline constexpr int kRightButton = 232;
inline constexpr int kChoiceLeft = 96;
inline constexpr int kChoicePitch = 20;

inline ui::FrameArgs Page(bool visible) {
  return {.bounds = kPageBounds, .visible = visible};
}

// The page's text, its lines broken as given; sized to its lines.
inline ui::LabelArgs Text(const char* text, ui::Alignment alignment) {
  const bool centred = alignment == ui::Alignment::kCenter;
  return {.text = text,
          .bounds = {centred ? 0 : 8, kTextTop, kPageBounds.width - (centred ? 0 : 8), 0},
          .alignment = alignment};
}

// Choice `index` (0 first) of the page's one group; the first starts the group and is
// selected.
inline ui::RadioButtonArgs Choice(const char* text, int top, int index) {
  return {.text = text,
          .bounds = {kChoiceLeft, top + index * kChoicePitch, 0, 0},
          .groupStart = index == 0,
          .checked = index == 0};
}

// A button of the bottom row; the first one after the choices closes their group.
inline ui::ButtonArgs RowButton(const char* text, int left, bool isDefault = false,
                                bool groupStart = false) {
  return {.text = text,
          .bounds = {left, kButtonTop, ui::kDefaultButtonWidth, ui::kDefaultButtonHeight},
          .isDefault = isDefault,
          .groupStart = groupStart};
}

}  // namespace veltrano::page_layout
