#include "ui/startup_trace.h"

#include <windows.h>

#include <cstdio>

namespace veltrano::ui::trace {
namespace {

struct Entry {
  LONGLONG counter;
  char text[72];
};

constexpr int kCapacity = 512;
Entry entries[kCapacity];
int count = 0;
bool written = false;

}  // namespace

void Mark(const char* what, const char* detail) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  if (written || count == kCapacity) return;
  Entry& entry = entries[count++];
  entry.counter = now.QuadPart;
  std::snprintf(entry.text, sizeof entry.text, "%s%s%s", what, *detail ? " " : "", detail);
  if (GetEnvironmentVariableA("VELTRANO_TRACE_DEBUGSTR", nullptr, 0)) {
    char line[96];
    std::snprintf(line, sizeof line, "veltrano-trace: %s\n", entry.text);
    OutputDebugStringA(line);
  }
}

void Write() {
  if (written) return;
  written = true;
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("VELTRANO_TRACE_FILE", path, sizeof path);
  if (!length || length >= sizeof path) return;
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  char line[128];
  DWORD done = 0;
  int size = std::snprintf(line, sizeof line, "frequency %lld\n", frequency.QuadPart);
  WriteFile(file, line, static_cast<DWORD>(size), &done, nullptr);
  for (int i = 0; i < count; ++i) {
    size = std::snprintf(line, sizeof line, "%lld %s\n", entries[i].counter, entries[i].text);
    WriteFile(file, line, static_cast<DWORD>(size), &done, nullptr);
  }
  CloseHandle(file);
}

}  // namespace veltrano::ui::trace
