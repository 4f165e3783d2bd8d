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

 private:
  void* owner_;
};

// Lets an in-process test see launches instead of starting programs. Empty restores
// the real launcher.
void SetLaunchObserver(LaunchFunction observer);

}  // namespace veltrano
