#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include "platform/system_backends.h"

namespace veltrano {

void LaunchWithShell(void* owner, const std::string& file, const std::string& parameters,
                     const std::string& directory) {
  // A missing or unopenable file is not reported: the result is ignored on purpose.
  ShellExecuteA(static_cast<HWND>(owner), "open", file.c_str(), parameters.c_str(),
                directory.c_str(), SW_SHOWNORMAL);
}

bool OpenWithShell(const std::string& address) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "Open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

std::string SystemProgramPath(const std::string& file) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  const std::string inSystem = std::string(folder) + "\\" + file;
  if (GetFileAttributesA(inSystem.c_str()) != INVALID_FILE_ATTRIBUTES) return inSystem;
  GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + file;
}

void StartCommandLine(const std::string& commandLine) {
  WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

}  // namespace veltrano
