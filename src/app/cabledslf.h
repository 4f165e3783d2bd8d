// The wizard's cable or xDSL page: two kinds of line, "< &Back", "&Next >" and "&Exit".
#pragma once

#include "ui/controls.h"

namespace veltrano {

// Its controls, made on the page frame when the page is first shown.
struct Tcabledsl {
  explicit Tcabledsl(ui::Widget& page);

  ui::Label Label1;
  ui::RadioButton RadioButton1;  // "Normal", selected at first
  ui::RadioButton RadioButton2;  // "Running over PPPoE"
  ui::Button RzButton3;          // "< &Back"
  ui::Button RzButton1;          // "&Next >", the default button
  ui::Button RzButton2;          // "&Exit"
};

}  // namespace veltrano
