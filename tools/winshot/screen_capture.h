// Saving what the Wine session shows of a screen area as a 24-bit BMP file. Wine's own
// screen DC has every window; an X capture of Xvfb shows the later top-level ones black.
#pragma once

#include <windows.h>

#include <string>

namespace winshot {

// False when the area cannot be read or the file cannot be written.
bool SaveScreenArea(const RECT& area, const std::string& path);

}  // namespace winshot
