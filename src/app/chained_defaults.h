// Undoing the last optimization in front of another action (an optimization run, the
// installer's uninstaller): the Windows-defaults run in chained mode.
#pragma once

namespace veltrano {

// Sets DefaultsChained and, unless LastOptim is exactly "7" (the system is at Windows
// default settings already), runs the hidden defaults window TForm6 to its end.
// False when that run stopped on an error: its error box has been shown, and the caller
// must not go on as if the defaults were restored.
bool RunChainedDefaults();

}  // namespace veltrano
