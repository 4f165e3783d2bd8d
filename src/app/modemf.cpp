#include "app/modemf.h"

#include "app/page_layout.h"

namespace veltrano {

namespace layout = page_layout;

namespace {
constexpr int kChoicesTop = 84;
}  // namespace

Tmodem::Tmodem(ui::Widget& page)
    : Label1(page, layout::Text("Now please select which modem type you are using.\r\n\r\n"
                                "Tip : Sometimes selecting the other modem type that \r\n"
                                "        you are using gives better results for connection.",
                                ui::Alignment::kLeft)),
      RadioButton1(page, layout::Choice("56kflex , V.90 , V.92", kChoicesTop, 0)),
      RadioButton2(page, layout::Choice("33k or below", kChoicesTop, 1)),
      RzButton3(page, layout::RowButton("< &Back", layout::kLeftButton, false, true)),
      RzButton1(page, layout::RowButton("&Next >", layout::kMiddleButton, true)),
      RzButton2(page, layout::RowButton("&Exit", layout::kRightButton)) {}

}  // namespace veltrano
