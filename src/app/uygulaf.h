// The wizard's last page: the large "Optimize" button, "Show &Changes..." under it, and
// "< &Back" and "&Exit" along the bottom.
#pragma once

#include "ui/controls.h"

namespace veltrano {

// Its controls, made on the page frame when the page is first shown.
struct Tuygula {
  explicit Tuygula(ui::Widget& page);

  ui::Label Label1;
  ui::Button RzButton1;  // "Optimize", the default button
  ui::Button RzButton4;  // "Show &Changes...": what "Optimize" would change
  ui::Button RzButton3;  // "< &Back"
  ui::Button RzButton2;  // "&Exit"
};

}  // namespace veltrano
