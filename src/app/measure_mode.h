// The ways into the measure window: the Program Options item "&Measure Connection..."
// and `Veltrano.exe /measure HOST`, which fills in the host and measures at once.
#pragma once

#include <string>

namespace veltrano {

// Makes the measure window (on first use only: start-up does not pay for it). With
// `alone` it is the program's only window, and closing it ends the program.
void OpenMeasureWindow(const std::string& host, bool startAtOnce, bool alone);

}  // namespace veltrano
