// Profile engine benchmark, run under Wine (bench/run.sh). Applies a generated profile
// of 10,000 value lines three ways and prints the times and their ratios:
//   1. the engine: descramble the profile into the work file, read it, apply each line;
//   2. a plain loop of the same registry calls on values parsed beforehand;
//   3. "regedit /s" importing the equivalent REGEDIT4 file.
// Each way is timed many times, the ways taking turns, into its own emptied key under
// HKEY_LOCAL_MACHINE\Software\VeltranoBench; the best time of each is kept, so that a
// busy machine only widens the spread. It also measures the codec's descrambling
// throughput.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/apply.h"
#include "engine/codec.h"
#include "engine/profile_files.h"
#include "engine/runs.h"
#include "engine/script.h"
#include "platform/ini_file.h"
#include "platform/registry.h"

namespace {

using namespace veltrano;

constexpr int kSections = 10;
constexpr int kValuesPerSection = 1000;
constexpr int kSamples = 25;           // timed runs of each way
constexpr int kAttemptsPerSample = 4;  // runs a sample may take when Wine saves meanwhile
constexpr int kDescrambleRounds = 5;
const char kBenchKey[] = "Software\\VeltranoBench";

struct Value {
  std::string name;
  DWORD type;
  std::vector<BYTE> data;
};
struct Section {
  std::string path;  // under HKEY_LOCAL_MACHINE, without a leading backslash
  std::vector<Value> values;
};

class Stopwatch {
 public:
  Stopwatch() { QueryPerformanceCounter(&start_); }
  double Milliseconds() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) /
           static_cast<double>(frequency.QuadPart);
  }

 private:
  LARGE_INTEGER start_;
};

// The same values in three spellings: parsed, as a script line and as a REGEDIT4 line.
std::vector<Section> MakeProfile(const std::string& keyName) {
  std::vector<Section> sections;
  for (int s = 0; s < kSections; ++s) {
    Section section{std::string(kBenchKey) + "\\" + keyName + "\\Section" + std::to_string(s), {}};
    for (int v = 0; v < kValuesPerSection; ++v) {
      const int n = s * kValuesPerSection + v;
      Value value{"Value" + std::to_string(n), REG_SZ, {}};
      if (n % 3 == 0) {
        const std::string text = "text " + std::to_string(n);
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
      } else if (n % 3 == 1) {
        value.type = REG_DWORD;
        const auto number = static_cast<std::uint32_t>(n * 2654435761u);
        for (int b = 0; b < 4; ++b) value.data.push_back(static_cast<BYTE>(number >> (8 * b)));
      } else {
        value.type = REG_BINARY;
        value.data.push_back(static_cast<BYTE>(n));
      }
      section.values.push_back(std::move(value));
    }
    sections.push_back(std::move(section));
  }
  return sections;
}

std::string ValueText(const Value& value) {
  char text[32];
  if (value.type == REG_SZ) {
    std::string quoted(1, '"');
    quoted.append(value.data.begin(), value.data.end() - 1);  // without the zero
    quoted.push_back('"');
    return quoted;
  }
  if (value.type == REG_DWORD) {
    const std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                 (static_cast<std::uint32_t>(value.data[3]) << 24);
    std::snprintf(text, sizeof text, "dword:%08X", static_cast<unsigned>(number));
    return text;
  }
  std::snprintf(text, sizeof text, "hex:%02X", value.data[0]);
  return text;
}

std::string ScriptOf(const std::vector<Section>& sections, bool regedit) {
  std::string script = "REGEDIT4\r\n\r\n";
  for (const auto& section : sections) {
    script += (regedit ? "[HKEY_LOCAL_MACHINE\\" : "[L\\") + section.path + "]\r\n";
    for (const auto& value : section.values) {
      script += "\"" + value.name + "\"=" + ValueText(value) + "\r\n";
    }
    script += "\r\n";
  }
  return script;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

void DeleteKeyTree(HKEY parent, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  char name[256];
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    DeleteKeyTree(key, name);
  }
  RegCloseKey(key);
  RegDeleteKeyA(parent, path.c_str());
}

// How many of the profile's values the registry holds with the right data.
int CountStored(const std::vector<Section>& sections) {
  int stored = 0;
  for (const auto& section : sections) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, section.path.c_str(), 0, KEY_READ, &key) != 0) continue;
    for (const auto& value : section.values) {
      BYTE data[64];
      DWORD type = 0, size = sizeof data;
      if (RegQueryValueExA(key, value.name.c_str(), nullptr, &type, data, &size) == 0 &&
          type == value.type && size == value.data.size() &&
          std::equal(value.data.begin(), value.data.end(), data)) {
        ++stored;
      }
    }
    RegCloseKey(key);
  }
  return stored;
}

double RunEngine(const ProfilePlaces& places) {
  const Stopwatch watch;
  {
    FileHandle work = DescrambleToWorkFile(places, ProfileSet::kOptimization, 1);
    TRegistry registry;
    FileByteSource source(work.get());
    ScriptReader reader(source);
    ApplyScript(reader, registry, ScriptMode::kWrite);
  }
  DeleteFileA(WorkFilePath(places.windowsDir).c_str());
  return watch.Milliseconds();
}

// The whole optimization run as the program makes it (ports, record, work file), with
// or without the backup it takes first.
double RunWholeOptimization(const std::string& folder, bool backupFirst) {
  const RunEnvironment env{
      SystemRegistry(), SystemProfileStrings(), folder + "\\", folder, "", "Software", backupFirst};
  const Stopwatch watch;
  RunOptimization(env, 1);
  return watch.Milliseconds();
}

double RunPlainLoop(const std::vector<Section>& sections) {
  const Stopwatch watch;
  for (const auto& section : sections) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, section.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
      continue;
    }
    for (const auto& value : section.values) {
      RegSetValueExA(key, value.name.c_str(), 0, value.type, value.data.data(),
                     static_cast<DWORD>(value.data.size()));
    }
    RegCloseKey(key);
  }
  return watch.Milliseconds();
}

double RunRegedit(const std::string& regFile) {
  std::string command = "regedit.exe /s \"" + regFile + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const Stopwatch watch;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double elapsed = watch.Milliseconds();
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

// Descrambles a buffer in memory in the engine's 10000-byte blocks.
double DescrambleMegabytesPerSecond() {
  std::string buffer(32 * 1024 * 1024, 'x');
  double best = 0;
  for (int round = 0; round < kDescrambleRounds; ++round) {
    ProfileCodec codec;
    const Stopwatch watch;
    for (std::size_t at = 0; at < buffer.size(); at += 10000) {
      codec.Transform(buffer.data() + at, std::min<std::size_t>(10000, buffer.size() - at));
    }
    const double seconds = watch.Milliseconds() / 1000.0;
    best = std::max(best, static_cast<double>(buffer.size()) / (1024.0 * 1024.0) / seconds);
  }
  volatile char keep = buffer[12345];  // the work must not be optimized away
  (void)keep;
  return best;
}

// The last-write times of the prefix's registry files. Every 30 seconds, when the
// registry has changed, wineserver rewrites them whole and answers no registry call
// until it is done: a sample during which they changed timed the save, not the way.
class RegistrySaves {
 public:
  RegistrySaves() {
    char prefix[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (length == 0 || length >= sizeof prefix) return;  // not under Wine: nothing to watch
    std::string folder = std::string("Z:") + prefix;
    std::replace(folder.begin(), folder.end(), '/', '\\');
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
      files_.push_back(folder + "\\" + name);
    }
  }
  bool Watching() const { return !files_.empty(); }
  std::vector<ULONGLONG> Stamps() const {
    std::vector<ULONGLONG> stamps;
    for (const auto& file : files_) {
      WIN32_FILE_ATTRIBUTE_DATA data{};
      GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data);
      stamps.push_back((static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                       data.ftLastWriteTime.dwLowDateTime);
    }
    return stamps;
  }

 private:
  std::vector<std::string> files_;
};

// One way of writing the profile's values into the registry. `run` is the timed part
// only; it writes into the way's own key, which is emptied before and after each run so
// that every run meets the same registry.
struct Way {
  const char* label;
  std::string key;  // under HKEY_LOCAL_MACHINE
  std::vector<Section> profile;
  std::function<double()> run;
  std::vector<double> milliseconds;
  int stored = 0;
  int retaken = 0;
};

Way MakeWay(const char* label, const std::string& keyName) {
  return Way{label, std::string(kBenchKey) + "\\" + keyName, MakeProfile(keyName), {}, {}, 0, 0};
}

// Runs the way once and keeps the time, unless Wine saved its registry meanwhile; then
// the sample is taken again.
void TakeSample(Way& way, const RegistrySaves& saves, bool keep) {
  for (int attempt = 0; attempt < kAttemptsPerSample; ++attempt) {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, way.key);
    const auto before = saves.Stamps();
    const double elapsed = way.run();
    const bool saved = saves.Stamps() != before;
    way.stored = CountStored(way.profile);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, way.key);
    if (!saved || attempt + 1 == kAttemptsPerSample) {
      if (keep) way.milliseconds.push_back(elapsed);
      return;
    }
    if (keep) ++way.retaken;
  }
}

double Best(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void PrintWay(const Way& way, int total) {
  const double best = Best(way.milliseconds), median = Median(way.milliseconds);
  const double worst = *std::max_element(way.milliseconds.begin(), way.milliseconds.end());
  std::printf("%-32s %8.1f %8.1f %8.1f %7.0f %%  %d/%d\n", way.label, best, median, worst,
              100.0 * (median - best) / best, way.stored, total);
}

struct Ratio {
  const char* label;
  const Way& over;
  const Way& under;
  const char* target;
};

}  // namespace

int main() {
  char tempPath[MAX_PATH];
  GetTempPathA(sizeof tempPath, tempPath);
  const std::string folder = std::string(tempPath) + "veltrano-bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\VLO").c_str(), nullptr);
  const ProfilePlaces places{folder + "\\", folder, ""};
  const std::string regFile = folder + "\\bench.reg";
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kBenchKey);

  Way engine = MakeWay("engine (descramble, read, apply)", "Engine");
  Way plain = MakeWay("plain registry loop", "Plain");
  Way regedit = MakeWay("regedit /s", "Regedit");
  engine.run = [&] { return RunEngine(places); };
  plain.run = [&] { return RunPlainLoop(plain.profile); };
  regedit.run = [&] { return RunRegedit(regFile); };
  Way bare = MakeWay("run without backup", "RunBare");
  Way backed = MakeWay("run with backup first", "RunBackup");
  const std::string bareFolder = folder + "\\bare", backedFolder = folder + "\\backed";
  bare.run = [&] { return RunWholeOptimization(bareFolder, false); };
  backed.run = [&] { return RunWholeOptimization(backedFolder, true); };
  std::vector<Way*> ways{&engine, &plain, &regedit, &bare, &backed};
  bool written = true;
  for (const auto& [programFolder, way] : {std::pair{folder, &engine}, std::pair{bareFolder, &bare},
                                           std::pair{backedFolder, &backed}}) {
    CreateDirectoryA(programFolder.c_str(), nullptr);
    CreateDirectoryA((programFolder + "\\VLO").c_str(), nullptr);
    written = written && WriteFileBytes(programFolder + "\\VLO\\modem56k.vlo",
                                        TransformProfile(ScriptOf(way->profile, false)));
  }
  if (!written || !WriteFileBytes(regFile, ScriptOf(regedit.profile, true))) {
    std::fprintf(stderr, "cannot write the profiles in %s\n", folder.c_str());
    return 1;
  }

  // One untimed run of each first, so that none pays alone for loading files and DLLs;
  // then the ways take turns, each round starting with the next one.
  const RegistrySaves saves;
  for (Way* way : ways) TakeSample(*way, saves, false);
  for (int sample = 0; sample < kSamples; ++sample) {
    for (std::size_t turn = 0; turn < ways.size(); ++turn) {
      TakeSample(*ways[(sample + turn) % ways.size()], saves, true);
    }
  }
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kBenchKey);

  const int total = kSections * kValuesPerSection;
  std::printf("profile: %d value lines in %d sections; %d runs of each way, taking turns\n", total,
              kSections, kSamples);
  std::printf("%-32s %8s %8s %8s %9s  %s\n", "ms", "best", "median", "worst", "spread", "stored");
  int retaken = 0;
  bool complete = true;
  for (const Way* way : ways) {
    PrintWay(*way, total);
    retaken += way->retaken;
    complete = complete && way->stored == total;
  }
  if (saves.Watching()) {
    std::printf("runs taken again because Wine saved its registry meanwhile: %d\n", retaken);
  }
  for (const Ratio& ratio :
       {Ratio{"engine / plain loop", engine, plain, "(target <= 1.30)"},
        Ratio{"engine / regedit", engine, regedit, "(target < 1.00)"},
        Ratio{"run with backup / without", backed, bare, "(reads each value once)"}}) {
    std::printf("%-32s %8.2f x   %s\n", ratio.label,
                Best(ratio.over.milliseconds) / Best(ratio.under.milliseconds), ratio.target);
  }
  // A real profile writes at most a few dozen values: what the backup adds to such a run.
  const double perValue = (Best(backed.milliseconds) - Best(bare.milliseconds)) / total;
  std::printf("backup, per value                %8.4f ms  (60 values: %.2f ms)\n", perValue,
              60 * perValue);
  std::printf("descrambling                     %8.0f MB/s\n", DescrambleMegabytesPerSecond());
  return complete ? 0 : 1;
}
