// Start-up benchmark, run under Wine (bench/startup.sh): how long Veltrano.exe takes from
// process creation to its visible wizard window, against a bare Win32 window program
// started the same way in the same run. The two are started in turn, several rounds;
// each is ended as soon as its window is visible. Prints the medians and their ratio.
// The program's own registry key is given LastOptim "7" first (as the installer leaves
// it) and restored afterwards.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 15;
constexpr DWORD kGiveUpMs = 30000;
const char kProgramKey[] = "Software\\QuarnSoft\\Veltrano";

struct Target {
  const char* name;
  std::string path;
  const char* windowClass;
  std::vector<double> milliseconds;
};

struct WindowSearch {
  DWORD processId;
  const char* windowClass;
  bool found;
};

BOOL CALLBACK MatchVisibleWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (processId == search->processId && IsWindowVisible(window) &&
      lstrcmpiA(name, search->windowClass) == 0) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

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

// Milliseconds from CreateProcess to a visible window of the class, or nothing.
std::optional<double> TimeToVisibleWindow(const Target& target) {
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
  std::optional<double> elapsed;
  while (Now() - start < kGiveUpMs) {
    WindowSearch search{process.dwProcessId, target.windowClass, false};
    EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      elapsed = Now() - start;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;  // ended early
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string BesideThisProgram(const char* file) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1) + file;
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
  Target bare{"bare Win32 window", BesideThisProgram("bare_window.exe"), "BareWindow", {}};
  Target veltrano{"Veltrano.exe wizard", BesideThisProgram("Veltrano.exe"), "TForm1", {}};
  const std::optional<std::string> saved = PrepareProgramKey();
  // One start of each first, so that neither pays alone for loading Wine's DLLs.
  TimeToVisibleWindow(bare);
  TimeToVisibleWindow(veltrano);
  for (int round = 0; round < kRounds; ++round) {
    for (Target* target : {&bare, &veltrano}) {
      if (const auto elapsed = TimeToVisibleWindow(*target)) {
        target->milliseconds.push_back(*elapsed);
      }
    }
  }
  RestoreProgramKey(saved);

  std::printf("Start-up to a visible window, median of %d starts under this Wine:\n", kRounds);
  for (const Target* target : {&bare, &veltrano}) {
    std::printf("  %-22s %8.1f ms  (%zu of %d starts)\n", target->name,
                Median(target->milliseconds), target->milliseconds.size(), kRounds);
  }
  const double bareMs = Median(bare.milliseconds);
  if (bareMs > 0 && !veltrano.milliseconds.empty()) {
    std::printf("  ratio Veltrano / bare   %8.2f\n", Median(veltrano.milliseconds) / bareMs);
  }
  return 0;
}
