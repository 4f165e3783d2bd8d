#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <shellapi.h>

#include "platform/system_backends.h"

namespace veltrano {
namespace {

// shell32 is loaded on the first launch, not with the program: only the options menu,
// the links and uninstall mode launch anything, and loading it at start-up costs the
// wizard a noticeable part of its start under Wine. Null when it cannot be loaded.
decltype(&ShellExecuteA) ShellExecuteFunction() {
  static const auto function = [] {
    const HMODULE shell = LoadLibraryA("shell32.dll");
    return shell ? reinterpret_cast<decltype(&ShellExecuteA)>(
                       reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteA")))
                 : nullptr;
  }();
  return function;
}

// ShellExecuteA's result: above 32 when the file was opened.
INT_PTR ShellExecuteResult(HWND owner, const char* verb, const std::string& file,
                           const char* parameters, const char* directory) {
  const auto shellExecute = ShellExecuteFunction();
  if (!shellExecute) return SE_ERR_DLLNOTFOUND;
  return reinterpret_cast<INT_PTR>(
      shellExecute(owner, verb, file.c_str(), parameters, directory, SW_SHOWNORMAL));
}

}  // namespace

void LaunchWithShell(void* owner, const std::string& file, const std::string& parameters,
                     const std::string& directory) {
  // A missing or unopenable file is not reported: the result is ignored on purpose.
  ShellExecuteResult(static_cast<HWND>(owner), "open", file, parameters.c_str(), directory.c_str());
}

bool OpenWithShell(const std::string& address) {
  return ShellExecuteResult(nullptr, "Open", address, nullptr, nullptr) > 32;
}

void StartCommandLine(const std::string& commandLine) {
  WinExec(commandLine.c_str(), SW_SHOWNORMAL);
}

}  // namespace veltrano
