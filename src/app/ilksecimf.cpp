#include "app/ilksecimf.h"

#include "app/page_layout.h"

namespace veltrano {

namespace layout = page_layout;

namespace {
constexpr int kChoicesTop = 56;
}  // namespace

Tilksecim::Tilksecim(ui::Widget& page)
    : Label1(page, layout::Text("Veltrano supports lots of connection types.Please\r\n\r\n"
                                "select one of the chooses and click next to continue.",
                                ui::Alignment::kCenter)),
      RadioButton1(page, layout::Choice("Modem", kChoicesTop, 0)),
      RadioButton2(page, layout::Choice("Cable , xDSL", kChoicesTop, 1)),
      RadioButton3(page, layout::Choice("LAN , ISDN , T1", kChoicesTop, 2)),
      RadioButton4(page, layout::Choice("Satellite Dish", kChoicesTop, 3)),
      RadioButton5(page, layout::Choice("Windows Default Settings", kChoicesTop, 4)),
      RzButton3(page, layout::RowButton("< &Back", layout::kLeftButton, false, true)),
      RzButton1(page, layout::RowButton("&Next >", layout::kMiddleButton, true)),
      RzButton2(page, layout::RowButton("&Exit", layout::kRightButton)) {}

}  // namespace veltrano
