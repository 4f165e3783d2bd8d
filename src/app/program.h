// Program entry: application title, the hidden main window, the message loop.
#pragma once

#include <windows.h>

#include "app/anaekran.h"

namespace veltrano {

// The executable's full path and its arguments, as the command line gives them. Raises
// EInOutError when the path cannot be read whole.
CommandLine ReadCommandLine();

int RunVeltrano(HINSTANCE instance);

}  // namespace veltrano
