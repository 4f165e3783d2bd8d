// The clipboard, as text.
#pragma once

#include <windows.h>

#include <string>

namespace veltrano::ui {

// Puts `text` on the clipboard as CF_TEXT for `owner`, replacing what it held; throws
// SystemRefusal when the clipboard cannot be opened or filled.
void CopyTextToClipboard(HWND owner, const std::string& text);

}  // namespace veltrano::ui
