// Profile engine benchmark, run under Wine (bench/run.sh). Applies a generated profile
// of 10,000 value lines three ways in one run and prints the times and their ratios:
//   1. the engine: descramble the profile into the work file, read it, apply each line;
//   2. a plain loop of the same registry calls on values parsed beforehand;
//   3. "regedit /s" importing the equivalent REGEDIT4 file.
// It also measures the codec's descrambling throughput. Each way writes into its own
// fresh key under HKEY_LOCAL_MACHINE\Software\VeltranoBench, removed at the end.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/apply.h"
#include "engine/codec.h"
#include "engine/profile_files.h"
#include "engine/script.h"
#include "platform/registry.h"

namespace {

using namespace veltrano;

constexpr int kSections = 10;
constexpr int kValuesPerSection = 1000;
constexpr int kRounds = 3;
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
  PrepareWorkFile(places, ProfileSet::kOptimization, 1);
  {
    FileHandle work = OpenForReading(WorkFilePath(places.windowsDir));
    TRegistry registry;
    FileByteSource source(work.get());
    ScriptReader reader(source);
    ApplyScript(reader, registry, ScriptMode::kWrite);
  }
  DeleteFileA(WorkFilePath(places.windowsDir).c_str());
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
  for (int round = 0; round < kRounds; ++round) {
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

double Best(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

}  // namespace

int main() {
  char tempPath[MAX_PATH];
  GetTempPathA(sizeof tempPath, tempPath);
  const std::string folder = std::string(tempPath) + "veltrano-bench";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\VLO").c_str(), nullptr);
  const ProfilePlaces places{folder + "\\", folder, ""};
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kBenchKey);

  std::vector<double> engine, plain, regedit;
  int storedEngine = 0, storedPlain = 0, storedRegedit = 0;
  for (int round = 0; round < kRounds; ++round) {
    const std::string suffix = std::to_string(round);
    const auto engineProfile = MakeProfile("Engine" + suffix);
    const auto plainProfile = MakeProfile("Plain" + suffix);
    const auto regeditProfile = MakeProfile("Regedit" + suffix);
    const std::string regFile = folder + "\\bench.reg";
    if (!WriteFileBytes(folder + "\\VLO\\modem56k.vlo",
                        TransformProfile(ScriptOf(engineProfile, false))) ||
        !WriteFileBytes(regFile, ScriptOf(regeditProfile, true))) {
      std::fprintf(stderr, "cannot write the profiles in %s\n", folder.c_str());
      return 1;
    }
    engine.push_back(RunEngine(places));
    plain.push_back(RunPlainLoop(plainProfile));
    regedit.push_back(RunRegedit(regFile));
    storedEngine = CountStored(engineProfile);
    storedPlain = CountStored(plainProfile);
    storedRegedit = CountStored(regeditProfile);
  }
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kBenchKey);

  const int total = kSections * kValuesPerSection;
  const double e = Best(engine), p = Best(plain), r = Best(regedit);
  std::printf("profile: %d value lines in %d sections; best of %d rounds\n", total, kSections,
              kRounds);
  std::printf("engine (descramble, read, apply) %9.1f ms   stored %d/%d\n", e, storedEngine, total);
  std::printf("plain registry loop              %9.1f ms   stored %d/%d\n", p, storedPlain, total);
  std::printf("regedit /s                       %9.1f ms   stored %d/%d\n", r, storedRegedit,
              total);
  std::printf("engine / plain loop              %9.2f x   (target <= 1.30)\n", e / p);
  std::printf("engine / regedit                 %9.2f x   (target < 1.00)\n", e / r);
  std::printf("descrambling                     %9.0f MB/s\n", DescrambleMegabytesPerSecond());
  const bool complete = storedEngine == total && storedPlain == total && storedRegedit == total;
  return complete ? 0 : 1;
}
