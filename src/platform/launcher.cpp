#include "platform/launcher.h"

#include <utility>

#include "platform/system_backends.h"

namespace veltrano {
namespace {

LaunchFunction& Observer() {
  static LaunchFunction observer;
  return observer;
}

WebAddressObserver& AddressObserver() {
  static WebAddressObserver observer;
  return observer;
}

}  // namespace

void TBUExecute::exec(const std::string& file, const std::string& parameters,
                      const std::string& directory) {
  if (Observer()) {
    Observer()(file, parameters, directory);
    return;
  }
  LaunchWithShell(owner_, file, parameters, directory);
}

void TBUExecute::ExecFromFolder(const std::string& folder, const std::string& file) {
  exec(folder + file, "", folder);
}

std::string OpenWithWebPageCommand() {
  // Appended piece by piece: GCC 12 warns falsely about `"\"" + std::string`.
  std::string command = "\"";
  command += SystemProgramPath("rundll32.exe");
  command += "\" ";
  command += kOpenWithWebPageArguments;
  return command;
}

void SetLaunchObserver(LaunchFunction observer) {
  Observer() = std::move(observer);
}

bool OpenWebAddress(const std::string& address) {
  const WebAddressObserver& observer = AddressObserver();
  const bool opened = observer.open ? observer.open(address) : OpenWithShell(address);
  if (opened) return true;
  if (observer.start) {
    observer.start(OpenWithWebPageCommand());
  } else {
    StartCommandLine(OpenWithWebPageCommand());
  }
  return false;
}

void SetWebAddressObserver(WebAddressObserver observer) {
  AddressObserver() = std::move(observer);
}

}  // namespace veltrano
