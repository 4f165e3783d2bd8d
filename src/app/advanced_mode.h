// The way from the wizard into advanced mode.
#pragma once

namespace veltrano {

class TForm1;

// Opens a fresh advanced window over the hidden wizard. Going back to wizard mode
// shows `wizard` again through TForm1::ShowWizardAgain.
void OpenAdvancedMode(TForm1& wizard);

}  // namespace veltrano
