#include "app/uygulaf.h"

#include "app/page_layout.h"

namespace veltrano {

namespace layout = page_layout;

namespace {

constexpr int kOptimizeWidth = 185;
constexpr int kOptimizeHeight = 33;
constexpr int kOptimizeLeft = (layout::kPageBounds.width - kOptimizeWidth) / 2;
constexpr int kOptimizeTop = 88;
// "< &Back" and "&Exit" sit under the two ends of the large button.
constexpr int kBackLeft = kOptimizeLeft;
constexpr int kExitLeft = kOptimizeLeft + kOptimizeWidth - ui::kDefaultButtonWidth;
// "Show &Changes..." in the free band between the large button and the bottom row.
constexpr int kChangesWidth = 105;
constexpr int kChangesLeft = (layout::kPageBounds.width - kChangesWidth) / 2;
constexpr int kChangesTop = kOptimizeTop + kOptimizeHeight + 9;

}  // namespace

Tuygula::Tuygula(ui::Widget& page)
    : Label1(page, layout::Text("Veltrano is now ready to optimize your connection type.\r\n\r\n"
                                "Please press Optimize button.",
                                ui::Alignment::kLeft)),
      RzButton1(page, {.text = "Optimize",
                       .bounds = {kOptimizeLeft, kOptimizeTop, kOptimizeWidth, kOptimizeHeight},
                       .isDefault = true,
                       .font = {.height = 16, .bold = true}}),
      RzButton4(page,
                {.text = "Show &Changes...",
                 .bounds = {kChangesLeft, kChangesTop, kChangesWidth, ui::kDefaultButtonHeight}}),
      RzButton3(page, layout::RowButton("< &Back", kBackLeft)),
      RzButton2(page, layout::RowButton("&Exit", kExitLeft)) {}

}  // namespace veltrano
