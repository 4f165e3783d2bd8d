#include "app/advanced_mode.h"

#include <utility>

#include "advanced/advanced.h"
#include "ui/application.h"

namespace veltrano {

TAdvance& OpenAdvancedMode(ui::Form& wizard, std::function<void()> createRestartPrompt) {
  wizard.Hide();
  return ui::Application().CreateForm<TAdvance>(
      AdvanceHooks{.backToWizard = [&wizard] { wizard.Show(); },
                   .createRestartPrompt = std::move(createRestartPrompt)});
}

}  // namespace veltrano
