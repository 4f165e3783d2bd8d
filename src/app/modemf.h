// The wizard's modem page: two modem types, "< &Back", "&Next >" and "&Exit".
#pragma once

#include "ui/controls.h"
#include "ui/form.h"

namespace veltrano {

class Tmodem : public ui::Frame {
 public:
  explicit Tmodem(ui::Widget& parent);

  ui::Label Label1;
  ui::RadioButton RadioButton1;  // "56kflex , V.90 , V.92", selected at first
  ui::RadioButton RadioButton2;  // "33k or below"
  ui::Button RzButton3;          // "< &Back"
  ui::Button RzButton1;          // "&Next >", the default button
  ui::Button RzButton2;          // "&Exit"
};

}  // namespace veltrano
