// A tooltip (tooltips_class32): a small window with a text that appears while the mouse
// rests on one of the controls it was given. One tooltip serves every control of a form.
#pragma once

#include <windows.h>

#include <string>

#include "ui/window.h"

namespace veltrano::ui {

class ToolTip : public Widget {
 public:
  // Owned by `form`, the top-level window whose controls it serves.
  explicit ToolTip(Widget& form);
  ~ToolTip() override;

  // Shows `text` over `tool`; "\r\n" breaks its lines. False when the system refused.
  bool AddTool(const Widget& tool, const std::string& text);
  // The text shown over `tool` (TTM_GETTEXT), "" for a control it was not given.
  std::string TextOf(const Widget& tool) const;
  // False where comctl32 shows one line only (4.00): lines are then joined with "; ".
  bool Multiline() const { return multiline_; }

 private:
  bool multiline_ = false;
};

}  // namespace veltrano::ui
