#include "support/child_program.h"

namespace test_support {
namespace {

struct Search {
  DWORD pid;
  const char* className;
  const char* caption;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || !IsWindowVisible(window)) return TRUE;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, search->className) != 0) return TRUE;
  if (search->caption) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (lstrcmpA(text, search->caption) != 0) return TRUE;
  }
  search->found = window;
  return FALSE;
}

}  // namespace

ChildProgram::ChildProgram(const std::string& path, const std::string& args,
                           const std::string& folder) {
  std::string commandLine = "\"" + path + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  started_ = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.empty() ? nullptr : folder.c_str(), &startup, &info_);
}

ChildProgram::~ChildProgram() {
  if (!started_) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

long ChildProgram::WaitForExit(unsigned timeoutMs) const {
  if (!started_ || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<long>(code);
}

HWND ChildProgram::WaitForWindow(const char* className, const char* caption, int rounds) const {
  for (int round = 0; started_ && round < rounds; ++round) {
    if (HWND found = FindWindowNow(className, caption)) return found;
    if (WaitForSingleObject(info_.hProcess, 100) == WAIT_OBJECT_0) break;
  }
  return started_ ? FindWindowNow(className, caption) : nullptr;
}

HWND ChildProgram::FindWindowNow(const char* className, const char* caption) const {
  Search search{info_.dwProcessId, className, caption, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace test_support
