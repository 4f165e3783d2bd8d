// The wizard's connection type page: five choices, "< &Back", "&Next >" and "&Exit".
#pragma once

#include "ui/controls.h"

namespace veltrano {

// Its controls, made on the page frame when the page is first shown.
struct Tilksecim {
  explicit Tilksecim(ui::Widget& page);

  ui::Label Label1;
  ui::RadioButton RadioButton1;  // "Modem", selected at first
  ui::RadioButton RadioButton2;  // "Cable , xDSL"
  ui::RadioButton RadioButton3;  // "LAN , ISDN , T1"
  ui::RadioButton RadioButton4;  // "Satellite Dish"
  ui::RadioButton RadioButton5;  // "Windows Default Settings"
  ui::Button RzButton3;          // "< &Back"
  ui::Button RzButton1;          // "&Next >", the default button
  ui::Button RzButton2;          // "&Exit"
};

}  // namespace veltrano
