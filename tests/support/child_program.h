// A program a test starts as a user or a shortcut would, ended with the object at the
// latest. Windows test programs only.
#pragma once

#include <windows.h>

#include <string>

namespace test_support {

class ChildProgram {
 public:
  // Starts `path` with the command-line tail `args` in `folder` ("" keeps ours).
  ChildProgram(const std::string& path, const std::string& args, const std::string& folder);
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  bool Started() const { return started_; }
  DWORD Id() const { return info_.dwProcessId; }
  // The exit code once it has ended within timeoutMs, or -1. The bound only stops a
  // broken test.
  long WaitForExit(unsigned timeoutMs = 60000) const;
  // Its first visible top-level window of that class (compared without case) and,
  // unless null, that caption; asked again every 100 ms for `rounds` rounds or until
  // the program ends.
  HWND WaitForWindow(const char* className, const char* caption = nullptr, int rounds = 300) const;

 private:
  HWND FindWindowNow(const char* className, const char* caption) const;

  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

}  // namespace test_support
