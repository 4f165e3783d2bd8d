// Shared ground of the run-window tests: AppState pointed at a fresh Windows folder, the
// profiles built next to the test program and the prefix's real registry; a restart
// service that only records; recorders for halts and for the animation tick by tick.
// Everything the tests change (AppState, observers, LastOptim) is put back afterwards.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/optimizing.h"
#include "engine/windef.h"
#include "gui_support.h"
#include "platform/app_state.h"
#include "support/wine_harness.h"
#include "ui/application.h"

namespace engine_forms {

using veltrano::kHkeyLocalMachine;

inline const std::string kProgramKey = "SOFTWARE\\QuarnSoft\\Veltrano";
inline const std::string kTcpipParameters =
    "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline const std::string kMstcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
inline const std::string kOptimizedPorts = "921600,n,8,1,p";
inline const std::string kDefaultPorts = "9600,n,8,1,x";
inline const std::string kMissingFileText =
    "A required file cannot be found.\r\nPlease reinstall the application.";
inline constexpr unsigned kErrorBoxFlags = MB_ICONSTOP | MB_OK;
inline constexpr unsigned kWarningBoxFlags = MB_ICONWARNING | MB_OK;

// A restart service that records what it was asked and never ends the Wine session.
class FakeShutdown : public veltrano::ShutdownApi {
 public:
  std::uint32_t PlatformId() override { return 2; }  // NT: the privilege is asked for
  bool EnableShutdownPrivilege() override { return true; }
  bool ExitWindows(std::uint32_t flags) override {
    requests.push_back(flags);
    return true;
  }
  std::vector<std::uint32_t> requests;
};

// Records the program's ends for its life, then puts the earlier observer back.
class HaltRecorder {
 public:
  HaltRecorder() : previous_(veltrano::ui::Application().GetHaltObserver()) {
    veltrano::ui::Application().SetHaltObserver([this](int code) { codes.push_back(code); });
  }
  ~HaltRecorder() { veltrano::ui::Application().SetHaltObserver(previous_); }
  HaltRecorder(const HaltRecorder&) = delete;
  HaltRecorder& operator=(const HaltRecorder&) = delete;
  std::vector<int> codes;

 private:
  veltrano::ui::HaltObserver previous_;
};

// What the window shows right after one tick.
struct TickState {
  std::string caption;
  int position = 0;
  bool anyResultEnabled = false;  // of the result texts: Label1, and Label3 on TForm6
  bool allResultEnabled = false;
  bool anyResultVisible = false;
  bool restartEnabled = false;
  bool leaveEnabled = false;
  bool timerEnabled = false;
};

// A value as the registry holds it: `dword:0000FFFF`, `"text"`, or "" when absent.
inline std::string Rendered(const std::string& path, const std::string& name) {
  const auto raw = wine_harness::ReadRaw(kHkeyLocalMachine, path, name);
  if (!raw) return "";
  if (raw->type == REG_DWORD && raw->bytes.size() == 4) {
    std::uint32_t number = 0;
    memcpy(&number, raw->bytes.data(), 4);
    char text[32];
    snprintf(text, sizeof text, "dword:%08X", static_cast<unsigned>(number));
    return text;
  }
  if (raw->type == REG_SZ) return "\"" + std::string(raw->bytes.c_str()) + "\"";
  return "type " + std::to_string(raw->type);
}

// The keys and values of one INI section, read as a file.
inline std::map<std::string, std::string> IniSection(const std::string& path,
                                                     const std::string& section) {
  std::map<std::string, std::string> entries;
  const auto bytes = wine_harness::ReadFileBytes(path);
  if (!bytes) return entries;
  std::istringstream lines(*bytes);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inside = line == "[" + section + "]";
      continue;
    }
    const size_t equals = line.find('=');
    if (inside && equals != std::string::npos) {
      entries[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return entries;
}

inline std::map<std::string, std::string> AllPorts(const std::string& setting) {
  std::map<std::string, std::string> ports;
  for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) ports[port] = setting;
  return ports;
}

class EngineFormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedState_ = veltrano::AppState();
    savedLastOptim_ = wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim");
    UseFreshWindowsDir();
    auto& state = veltrano::AppState();
    state.Family = veltrano::OsFamily::kNT;
    state.SoftwareKeyName = "SOFTWARE";
    state.SystemKeyName = "SYSTEM";
    state.OsSuffix = "2k";
    state.ProgramDir = wine_harness::BinDir() + "\\";
    state.LastOptim = "";
    state.SelectedType = 0;
    state.DefaultsChained = false;
    state.DefaultsDone = false;
    state.DefaultsFailed = false;
  }

  void TearDown() override {
    veltrano::ui::Application().DestroyOwnedForms();
    gui_support::PumpPending();
    veltrano::AppState() = savedState_;
    if (savedLastOptim_) {
      wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", *savedLastOptim_);
    } else {
      wine_harness::DeleteValue(kHkeyLocalMachine, kProgramKey, "LastOptim");
    }
    veltrano::ui::Application().ClearHalt();
  }

  // A new, empty Windows folder for the INI files and the work file.
  void UseFreshWindowsDir() {
    windows_.reset();
    windows_ = std::make_unique<wine_harness::TempFolder>();
    veltrano::AppState().WindowsDir = windows_->Path();
  }
  std::string WindowsFile(const std::string& name) const { return windows_->File(name); }
  bool WorkFileExists() const { return wine_harness::FileExists(WindowsFile("winspd.exe")); }
  std::map<std::string, std::string> Ports(const char* iniName) const {
    return IniSection(WindowsFile(iniName), "Ports");
  }

  static std::string LastOptim() {
    return wine_harness::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim").value_or("");
  }
  static void PutLastOptim(const std::string& value) {
    ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kProgramKey, "LastOptim", value));
  }

  static std::vector<veltrano::ui::Label*> ResultTexts(veltrano::RunProgressForm& form) {
    if (auto* defaults = dynamic_cast<veltrano::TForm6*>(&form)) {
      return {&defaults->Label1, &defaults->Label3};
    }
    return {&form.Label1};
  }

  // Lets the real timer run through a bounded message pump until the animation stops,
  // and returns what the window showed after each tick.
  static std::vector<TickState> AnimateToEnd(veltrano::RunProgressForm& form) {
    const std::vector<veltrano::ui::Label*> results = ResultTexts(form);
    std::vector<TickState> ticks;
    const std::function<void()> original = form.VrTimer1.onTimer;
    form.VrTimer1.onTimer = [&] {
      original();
      TickState state{.caption = form.Label2.Caption(), .position = form.VrMeter1.Position()};
      state.allResultEnabled = true;
      for (const veltrano::ui::Label* label : results) {
        state.anyResultEnabled = state.anyResultEnabled || label->IsEnabled();
        state.allResultEnabled = state.allResultEnabled && label->IsEnabled();
        state.anyResultVisible = state.anyResultVisible || label->IsVisible();
      }
      state.restartEnabled = form.RzButton1.IsEnabled();
      state.leaveEnabled = form.RzButton2.IsEnabled();
      state.timerEnabled = form.VrTimer1.Enabled();
      ticks.push_back(state);
    };
    const bool stopped = gui_support::PumpUntil([&] { return !form.VrTimer1.Enabled(); }, 20000);
    EXPECT_TRUE(stopped) << "the animation did not reach its end";
    // Keep the loop going a little longer, so that a tick after the end would show.
    veltrano::ui::Timer witness({.interval = 1, .enabled = true});
    int witnessTicks = 0;
    witness.onTimer = [&] { ++witnessTicks; };
    gui_support::PumpUntil([&] { return witnessTicks >= 5; });
    form.VrTimer1.onTimer = original;
    return ticks;
  }

  std::unique_ptr<wine_harness::TempFolder> windows_;
  veltrano::AppStateRecord savedState_;
  std::optional<std::string> savedLastOptim_;
  FakeShutdown shutdown_;
};

}  // namespace engine_forms
