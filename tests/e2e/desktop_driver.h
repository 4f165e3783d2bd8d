// Drives programs from outside, as a user would: starts them, finds their windows by
// class, caption and control text in any process of the Wine session, clicks buttons
// and keeps a screenshot of each window it is asked to. Windows builds only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "support/child_program.h"

namespace desktop {

inline constexpr unsigned kPatienceMs = 60000;

// Asks `probe` again every 100 ms until it holds or timeoutMs have passed; returns
// probe() at the end. The bound only stops a broken test.
bool WaitFor(const std::function<bool()>& probe, unsigned timeoutMs = kPatienceMs);

// A program started in `folder` with the command-line tail `args`, as a shortcut
// starts it. Ended when the object dies and it is still running.
using Program = test_support::ChildProgram;

// The first visible top-level window of any process with that class (compared without
// case) and, unless null, that caption; waiting for it up to timeoutMs.
HWND WaitForWindow(const char* className, const char* caption, unsigned timeoutMs = kPatienceMs);
HWND FindWindowNow(const char* className, const char* caption);

// The first visible, descendant control of `parent` with that text (and class, unless
// null), or nullptr.
HWND FindControl(HWND parent, const std::string& text, const char* className = nullptr);
// Waits for the control to be there and enabled.
HWND WaitForControl(HWND parent, const std::string& text, unsigned timeoutMs = kPatienceMs);

std::string TextOf(HWND window);
// The visible top-level windows, "class 'caption'" a line: what a failure message shows.
std::string VisibleWindows();
// BM_CLICK, as a user's click; does not wait for what the click sets off.
void Click(HWND button);

// Saves what the screen shows of the window as <build>/win64/e2e-shots/<name>.bmp and
// returns that path ("" when it could not).
std::string SaveShot(HWND window, const std::string& name);

// What `window`'s "&Copy" puts on the emptied clipboard.
std::string CopiedText(HWND window);
// Opens the Changes window with `owner`'s "Show &Changes...", keeps a shot of it, copies
// its rows and closes it; "" when no window came.
std::string CopiedChanges(HWND owner, const std::string& shot);

}  // namespace desktop
