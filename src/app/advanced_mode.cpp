#include "app/advanced_mode.h"

#include "app/anaekran.h"

namespace veltrano {

void OpenAdvancedMode(TForm1& wizard) {
  // Until the advanced window is part of the program, the user is back on the wizard
  // at once, on the page and with the choices left.
  wizard.ShowWizardAgain();
}

}  // namespace veltrano
