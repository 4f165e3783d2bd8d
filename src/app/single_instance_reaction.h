#pragma once

#include "platform/single_instance.h"
#include "ui/application.h"

namespace veltrano {

inline constexpr char kAlreadyRunningMessage[] = "Veltrano is already running!";

// Takes the single-instance lock named after the application's title. When another
// instance holds it: the main window will not be shown, the user is told, the other
// instance's main window is raised (restored when minimised) and the application is
// asked to end. Returns true when this is the only instance.
bool CheckSingleInstance(TabfOneInstance& guard, ui::TApplication& application);

}  // namespace veltrano
