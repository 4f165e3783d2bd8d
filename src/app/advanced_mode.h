// The wizard's way into advanced mode.
#pragma once

#include <functional>

#include "ui/form.h"

namespace veltrano {

class TAdvance;

// Hides the wizard and creates a new advanced window, which shows itself with every list
// at "Default". Its "Back to Wizard Mode" shows the wizard again as it was; after a
// complete "Apply and Exit" it calls createRestartPrompt.
TAdvance& OpenAdvancedMode(ui::Form& wizard, std::function<void()> createRestartPrompt);

}  // namespace veltrano
