// The wizard's modem page: two modem types, "< &Back", "&Next >" and "&Exit".
#pragma once

#include "ui/controls.h"

namespace veltrano {

// Its controls, made on the page frame when the page is first shown.
struct Tmodem {
  explicit Tmodem(ui::Widget& page);

  ui::Label Label1;
  ui::RadioButton RadioButton1;  // "56kflex , V.90 , V.92", selected at first
  ui::RadioButton RadioButton2;  // "33k or below"
  ui::Button RzButton3;          // "< &Back"
  ui::Button RzButton1;          // "&Next >", the default button
  ui::Button RzButton2;          // "&Exit"
};

}  // namespace veltrano
