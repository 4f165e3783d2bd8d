// The wizard's last page: the large "Optimize" button, "Show &Changes..." under it, and
// "< &Back" and "&Exit" along the bottom.
#pragma once

#include "ui/controls.h"
#include "ui/form.h"

namespace veltrano {

class Tuygula : public ui::Frame {
 public:
  explicit Tuygula(ui::Widget& parent);

  ui::Label Label1;
  ui::Button RzButton1;  // "Optimize", the default button
  ui::Button RzButton4;  // "Show &Changes...": what "Optimize" would change
  ui::Button RzButton3;  // "< &Back"
  ui::Button RzButton2;  // "&Exit"
};

}  // namespace veltrano
