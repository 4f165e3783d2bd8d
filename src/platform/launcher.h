// The launcher: ShellExecuteA "open" with SW_SHOWNORMAL; the result is ignored.
#pragma once

#include <functional>
#include <string>

namespace veltrano {

using LaunchFunction = std::function<void(const std::string& file, const std::string& parameters,
                                          const std::string& directory)>;

class TBUExecute {
 public:
  // owner: the application window (an HWND), or null.
  explicit TBUExecute(void* owner = nullptr) : owner_(owner) {}
  void exec(const std::string& file, const std::string& parameters, const std::string& directory);
  // exec of `file` by its full path in `folder` (with its trailing backslash), no
  // parameters, the folder as working folder. A file missing there is not reported, and
  // no file of that name elsewhere (current folder, search path) starts in its place.
  void ExecFromFolder(const std::string& folder, const std::string& file);

 private:
  void* owner_;
};

// Lets an in-process test see launches instead of starting programs. Empty restores
// the real launcher.
void SetLaunchObserver(LaunchFunction observer);

// Started when the shell cannot open a web address, after the quoted full path of the
// system's rundll32.exe: lets the user pick a program for web pages.
inline constexpr char kOpenWithWebPageArguments[] = "Shell32.dll,OpenAs_RunDLL *.htm";

// The command line that offers the open-with dialog. The system's own rundll32.exe, so
// that a file of that name in the current folder does not run instead.
std::string OpenWithWebPageCommand();

// Opens a web address with the shell's "Open" verb (no owner window, normal show
// state). When the shell cannot open it, starts OpenWithWebPageCommand() instead. True
// when the address itself was opened.
bool OpenWebAddress(const std::string& address);

// What OpenWebAddress does, for an in-process test to see instead: `open` answers for
// the shell, `start` sees the fallback command line. Empty members restore the system.
struct WebAddressObserver {
  std::function<bool(const std::string& address)> open;
  std::function<void(const std::string& commandLine)> start;
};
void SetWebAddressObserver(WebAddressObserver observer);

}  // namespace veltrano
