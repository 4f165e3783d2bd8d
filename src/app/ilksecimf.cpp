#include "app/ilksecimf.h"

#include "app/page_layout.h"

namespace veltrano {

namespace layout = page_layout;

namespace {
constexpr int kChoicesTop = 56;
}  // namespace

Tilksecim::Tilksecim(ui::Widget& parent)
    : ui::Frame(parent, layout::Page(false)),
      Label1(*this, layout::Text("Veltrano supports lots of connection types.Please\r\n\r\n"
                                 "select one of the chooses and click next to continue.",
                                 ui::Alignment::kCenter)),
      RadioButton1(*this, layout::Choice("Modem", kChoicesTop, 0)),
      RadioButton2(*this, layout::Choice("Cable , xDSL", kChoicesTop, 1)),
      RadioButton3(*this, layout::Choice("LAN , ISDN , T1", kChoicesTop, 2)),
      RadioButton4(*this, layout::Choice("Satellite Dish", kChoicesTop, 3)),
      RadioButton5(*this, layout::Choice("Windows Default Settings", kChoicesTop, 4)),
      RzButton3(*this, layout::RowButton("< &Back", layout::kLeftButton, false, true)),
      RzButton1(*this, layout::RowButton("&Next >", layout::kMiddleButton, true)),
      RzButton2(*this, layout::RowButton("&Exit", layout::kRightButton)) {}

}  // namespace veltrano
