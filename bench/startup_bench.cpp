// Start-up benchmark, run under Wine (bench/startup.sh): how long Veltrano.exe takes from
// process creation to its visible wizard window, and its working set once it waits for
// input, against two yardsticks started the same way in the same run: a bare Win32
// window program, and the same program loading comctl32 and shell32 as Veltrano does.
// The three are started in turn, many rounds, each ended once it waits for input. The
// best time of each is kept, so that a busy machine only widens the spread; the spread
// and the ratios follow. The program's own registry key is given LastOptim "7" first (as
// the installer leaves it) and restored afterwards.
#include <windows.h>

#include <psapi.h>  // after <windows.h>, which it needs

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace {

constexpr int kRounds = 41;
constexpr DWORD kGiveUpMs = 30000;
constexpr DWORD kSettleMs = 5000;  // at most, for a started program to wait for input
const char kProgramKey[] = "Software\\QuarnSoft\\Veltrano";

struct Start {
  double milliseconds;
  double workingSetKb;  // once the program waits for input
};

struct Target {
  const char* name;
  std::string path;
  const char* windowClass;
  std::vector<Start> starts;
};

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool HasVisibleWindow(DWORD processId, const char* windowClass) {
  for (HWND window = FindWindowExA(nullptr, nullptr, windowClass, nullptr); window != nullptr;
       window = FindWindowExA(nullptr, window, windowClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return true;
  }
  return false;
}

double WorkingSetKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.WorkingSetSize) / 1024.0;
}

// The time from CreateProcess to a visible window of the class, and the working set once
// the program waits for input; nothing when no such window came.
std::optional<Start> StartOnce(const Target& target) {
  std::string commandLine = "\"" + target.path + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const std::string folder = target.path.substr(0, target.path.find_last_of('\\'));
  const double start = Now();
  if (!CreateProcessA(target.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return std::nullopt;
  }
  std::optional<Start> result;
  while (Now() - start < kGiveUpMs) {
    if (HasVisibleWindow(process.dwProcessId, target.windowClass)) {
      const double elapsed = Now() - start;
      WaitForInputIdle(process.hProcess, kSettleMs);
      result = Start{elapsed, WorkingSetKb(process.hProcess)};
      break;
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;  // ended early
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}

std::vector<double> Column(const Target& target, double Start::*field) {
  std::vector<double> values;
  for (const Start& start : target.starts) values.push_back(start.*field);
  std::sort(values.begin(), values.end());
  return values;
}

// The start-up figure kept: the lower quartile, which a few lucky or unlucky starts on a
// busy machine do not move, where the best start would.
double LowerQuartile(const std::vector<double>& sorted) {
  return sorted[sorted.size() / 4];
}

double Median(const std::vector<double>& sorted) {
  return sorted[sorted.size() / 2];
}

std::string BesideThisProgram(const char* file) {
  return veltrano::DirectoryOf(veltrano::ExecutablePath()) + file;
}

// LastOptim as it was, to be put back; nothing when the key or value was absent.
std::optional<std::string> PrepareProgramKey() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  char previous[64] = {};
  DWORD size = sizeof previous - 1;
  std::optional<std::string> saved;
  if (RegQueryValueExA(key, "LastOptim", nullptr, nullptr, reinterpret_cast<BYTE*>(previous),
                       &size) == ERROR_SUCCESS) {
    saved = previous;
  }
  RegSetValueExA(key, "LastOptim", 0, REG_SZ, reinterpret_cast<const BYTE*>("7"), 2);
  RegDeleteValueA(key, "First");  // no first-run notice
  RegCloseKey(key);
  return saved;
}

void RestoreProgramKey(const std::optional<std::string>& saved) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return;
  if (saved) {
    RegSetValueExA(key, "LastOptim", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved->c_str()),
                   static_cast<DWORD>(saved->size() + 1));
  } else {
    RegDeleteValueA(key, "LastOptim");
  }
  RegCloseKey(key);
}

}  // namespace

int main() {
  Target bare{"bare window", BesideThisProgram("bare_window.exe"), "BareWindow", {}};
  Target shell{
      "bare + comctl32, shell32", BesideThisProgram("bare_window_shell.exe"), "BareWindow", {}};
  Target veltrano{"Veltrano.exe wizard", BesideThisProgram("Veltrano.exe"), "TForm1", {}};
  Target* const targets[] = {&bare, &shell, &veltrano};
  const std::optional<std::string> saved = PrepareProgramKey();
  // One start of each first, so that none pays alone for loading Wine's DLLs; then they
  // take turns, each round starting with the next one.
  for (const Target* target : targets) StartOnce(*target);
  for (int round = 0; round < kRounds; ++round) {
    for (int turn = 0; turn < 3; ++turn) {
      Target& target = *targets[(round + turn) % 3];
      if (const auto start = StartOnce(target)) target.starts.push_back(*start);
    }
  }
  RestoreProgramKey(saved);

  std::printf("Start-up to a visible window, %d starts of each under this Wine:\n", kRounds);
  std::printf("  %-26s %8s %8s %8s %8s %12s\n", "ms", "best", "quartile", "median", "spread",
              "working set");
  for (const Target* target : targets) {
    if (target->starts.empty()) {
      std::printf("  %-26s no visible window\n", target->name);
      return 1;
    }
    const auto times = Column(*target, &Start::milliseconds);
    const double kept = LowerQuartile(times);
    std::printf("  %-26s %8.1f %8.1f %8.1f %6.0f %% %9.0f KB  (%zu of %d starts)\n", target->name,
                times.front(), kept, Median(times), 100.0 * (Median(times) - kept) / kept,
                Median(Column(*target, &Start::workingSetKb)), times.size(), kRounds);
  }
  const auto figures = [](const Target& target) {
    return std::pair{LowerQuartile(Column(target, &Start::milliseconds)),
                     Median(Column(target, &Start::workingSetKb))};
  };
  const auto [veltranoMs, veltranoKb] = figures(veltrano);
  for (const Target* yardstick : {&bare, &shell}) {
    const auto [ms, kb] = figures(*yardstick);
    std::printf("  Veltrano / %-24s time %5.2f x   working set %5.2f x\n", yardstick->name,
                veltranoMs / ms, veltranoKb / kb);
  }
  return 0;
}
