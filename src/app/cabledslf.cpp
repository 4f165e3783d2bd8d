#include "app/cabledslf.h"

#include "app/page_layout.h"

namespace veltrano {

namespace layout = page_layout;

namespace {
constexpr int kChoicesTop = 84;
}  // namespace

Tcabledsl::Tcabledsl(ui::Widget& page)
    : Label1(page, layout::Text("Now you must select your Cable or xDSL type. It is important\r\n"
                                "to select the true connection type for peformance.\r\n\r\n"
                                "Tip : If you don't know please select normal.",
                                ui::Alignment::kLeft)),
      RadioButton1(page, layout::Choice("Normal", kChoicesTop, 0)),
      RadioButton2(page, layout::Choice("Running over PPPoE", kChoicesTop, 1)),
      RzButton3(page, layout::RowButton("< &Back", layout::kLeftButton, false, true)),
      RzButton1(page, layout::RowButton("&Next >", layout::kMiddleButton, true)),
      RzButton2(page, layout::RowButton("&Exit", layout::kRightButton)) {}

}  // namespace veltrano
