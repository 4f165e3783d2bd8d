// Start-up phases, run under Wine (bench/startup-phases.sh): starts a trace build of
// Veltrano.exe (VELTRANO_STARTUP_TRACE, src/ui/startup_trace.h) many times, each time
// reading back the marks it wrote once it first waited for input, and prints the time of
// each mark from CreateProcess (the lower quartile over the starts, as bench/startup.sh
// keeps), the time since the mark before, and how many controls were created between
// them. The bare window program with comctl32 and shell32 is started in the same turns,
// from CreateProcess to its visible window: the floor the phases are set against.
//
// startup_phases.exe --once starts Veltrano.exe once, with VELTRANO_TRACE_DEBUGSTR set,
// for a run under WINEDEBUG=+server,+debugstr that counts server calls between marks.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 21;
constexpr DWORD kGiveUpMs = 30000;
const char kProgramKey[] = "Software\\QuarnSoft\\Veltrano";

LONGLONG Counter() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

double Frequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

std::string BesideThisProgram(const char* file) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1) + file;
}

struct Process {
  PROCESS_INFORMATION info{};
  LONGLONG started = 0;
  bool ok = false;
};

Process Launch(const std::string& path) {
  std::string commandLine = "\"" + path + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  Process process;
  const std::string folder = path.substr(0, path.find_last_of('\\'));
  process.started = Counter();
  process.ok = CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              folder.c_str(), &startup, &process.info) != 0;
  return process;
}

void End(Process& process) {
  if (!process.ok) return;
  TerminateProcess(process.info.hProcess, 0);
  WaitForSingleObject(process.info.hProcess, 10000);
  CloseHandle(process.info.hThread);
  CloseHandle(process.info.hProcess);
}

std::string ReadFileText(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

struct Mark {
  std::string name;  // made unique within a start: "create TVeltranoFrame #2"
  double ms;         // since CreateProcess
  int controls;      // controls created since the mark before
};

bool HasVisibleWindow(DWORD processId, const char* windowClass) {
  for (HWND window = FindWindowExA(nullptr, nullptr, windowClass, nullptr); window;
       window = FindWindowExA(nullptr, window, windowClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return true;
  }
  return false;
}

double Since(const Process& process) {
  return 1000.0 * static_cast<double>(Counter() - process.started) / Frequency();
}

// The marks of one start of the trace build, once it waits for input, with the moment
// its wizard was first seen visible from here (as bench/startup.sh sees it); nothing
// when it wrote none in time.
std::optional<std::vector<Mark>> TracedStart(const std::string& exe, const std::string& traceFile) {
  DeleteFileA(traceFile.c_str());
  Process process = Launch(exe);
  if (!process.ok) return std::nullopt;
  std::optional<double> visible;
  for (DWORD waited = 0; waited < kGiveUpMs && !visible; waited += 1) {
    if (HasVisibleWindow(process.info.dwProcessId, "TForm1")) visible = Since(process);
    if (!visible && WaitForSingleObject(process.info.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  std::string text;
  for (DWORD waited = 0; visible && waited < kGiveUpMs; waited += 5) {
    text = ReadFileText(traceFile);
    if (text.find("waiting for input") != std::string::npos) break;
    if (WaitForSingleObject(process.info.hProcess, 5) == WAIT_OBJECT_0) break;
  }
  End(process);
  if (text.find("waiting for input") == std::string::npos) return std::nullopt;
  std::vector<Mark> marks{{"(TForm1 seen visible from outside)", *visible, 0}};
  std::map<std::string, int> seen;
  const double frequency = Frequency();
  int controls = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    const size_t space = line.find(' ');
    if (space == std::string::npos || line.compare(0, space, "frequency") == 0) continue;
    const LONGLONG counter = std::atoll(line.substr(0, space).c_str());
    std::string name = line.substr(space + 1);
    if (name.compare(0, 8, "control ") == 0) {
      ++controls;
      continue;
    }
    const int occurrence = ++seen[name];
    if (name.compare(0, 8, "painted ") == 0 && occurrence > 1) continue;  // first paints only
    if (occurrence > 1) name += " #" + std::to_string(occurrence);
    marks.push_back(
        {name, 1000.0 * static_cast<double>(counter - process.started) / frequency, controls});
    controls = 0;
  }
  return marks;
}

// From CreateProcess to a visible window of the class, in ms; nothing when none came.
std::optional<double> VisibleWindowStart(const std::string& exe, const char* windowClass) {
  Process process = Launch(exe);
  if (!process.ok) return std::nullopt;
  std::optional<double> result;
  for (DWORD waited = 0; waited < kGiveUpMs && !result; waited += 1) {
    if (HasVisibleWindow(process.info.dwProcessId, windowClass)) result = Since(process);
    if (!result && WaitForSingleObject(process.info.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  WaitForInputIdle(process.info.hProcess, 5000);
  End(process);
  return result;
}

double LowerQuartile(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 4];
}

// LastOptim "7" and no first-run notice, as bench/startup.sh leaves them; the previous
// LastOptim is put back at the end.
class ProgramKey {
 public:
  ProgramKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
      return;
    }
    char previous[64] = {};
    DWORD size = sizeof previous - 1;
    if (RegQueryValueExA(key, "LastOptim", nullptr, nullptr, reinterpret_cast<BYTE*>(previous),
                         &size) == ERROR_SUCCESS) {
      saved_ = previous;
    }
    RegSetValueExA(key, "LastOptim", 0, REG_SZ, reinterpret_cast<const BYTE*>("7"), 2);
    RegDeleteValueA(key, "First");
    RegCloseKey(key);
  }
  ~ProgramKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
      return;
    if (saved_) {
      RegSetValueExA(key, "LastOptim", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_->c_str()),
                     static_cast<DWORD>(saved_->size() + 1));
    } else {
      RegDeleteValueA(key, "LastOptim");
    }
    RegCloseKey(key);
  }
  ProgramKey(const ProgramKey&) = delete;
  ProgramKey& operator=(const ProgramKey&) = delete;

 private:
  std::optional<std::string> saved_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string veltrano = BesideThisProgram("Veltrano.exe");
  const std::string floor = BesideThisProgram("bare_window_shell.exe");
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const std::string traceFile = std::string(folder) + "veltrano-startup-trace.txt";
  SetEnvironmentVariableA("VELTRANO_TRACE_FILE", traceFile.c_str());
  ProgramKey programKey;

  if (argc > 1 && std::string(argv[1]) == "--once") {
    SetEnvironmentVariableA("VELTRANO_TRACE_DEBUGSTR", "1");
    TracedStart(veltrano, traceFile);  // warm
    return TracedStart(veltrano, traceFile) ? 0 : 1;
  }

  // One start of each first, so that neither pays alone for loading Wine's DLLs.
  TracedStart(veltrano, traceFile);
  VisibleWindowStart(floor, "BareWindow");
  std::vector<std::vector<Mark>> starts;
  std::vector<double> floorMs;
  for (int round = 0; round < kRounds; ++round) {
    if (auto marks = TracedStart(veltrano, traceFile)) starts.push_back(std::move(*marks));
    if (auto ms = VisibleWindowStart(floor, "BareWindow")) floorMs.push_back(*ms);
  }
  if (starts.empty() || floorMs.empty()) {
    std::printf("no traced start of %s\n", veltrano.c_str());
    return 1;
  }

  // The marks of the first start, in order; each with its lower quartile over the starts
  // that have it.
  struct Row {
    std::string name;
    double ms;
    int controls;
  };
  std::vector<Row> rows;
  for (const Mark& mark : starts.front()) {
    std::vector<double> times;
    for (const auto& start : starts) {
      for (const Mark& other : start) {
        if (other.name == mark.name) times.push_back(other.ms);
      }
    }
    rows.push_back({mark.name, LowerQuartile(times), mark.controls});
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.ms < b.ms; });
  std::printf(
      "Start-up of the trace build, %zu of %d starts (lower quartile, ms from CreateProcess):\n",
      starts.size(), kRounds);
  std::printf("  %8s %8s %9s  %s\n", "at", "step", "controls", "mark");
  double previous = 0;
  for (const Row& row : rows) {
    std::printf("  %8.1f %8.1f %9s  %s\n", row.ms, row.ms - previous,
                row.controls ? std::to_string(row.controls).c_str() : "", row.name.c_str());
    previous = row.ms;
  }
  std::printf("  bare + comctl32, shell32 to its visible window: %.1f ms (%zu starts)\n",
              LowerQuartile(floorMs), floorMs.size());
  return 0;
}
