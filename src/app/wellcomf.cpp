#include "app/wellcomf.h"

#include "app/page_layout.h"

namespace veltrano {

namespace layout = page_layout;

Twellcom::Twellcom(ui::Widget& parent, ui::PopupMenu& options)
    : ui::Frame(parent, layout::Page(true)),
      Label1(*this, layout::Text("Thank you for using Veltrano. This program is a useful\r\n\r\n"
                                 "tool to speed up your connection. Veltrano can \r\n\r\n"
                                 "optimize lots of connection types like modem , isdn etc.\r\n\r\n"
                                 "To start optimizing your connection please click Next\r\n\r\n"
                                 "button and continue.",
                                 ui::Alignment::kCenter)),
      // As wide as "Advanced Mode", ending where "< &Back" ends on the other pages.
      RzMenuButton1(*this,
                    {.text = "&Program Options",
                     .bounds = {layout::kLeftButton + ui::kDefaultButtonWidth - 105,
                                layout::kButtonTop, 105, ui::kDefaultButtonHeight}},
                    options),
      Button1(*this, layout::RowButton("&Next >", layout::kMiddleButton, true)),
      Button2(*this, layout::RowButton("&Exit", layout::kRightButton)) {}

}  // namespace veltrano
