// The Changes window through the installed program, under emulated Windows 98 and XP:
// after a 56k optimization, what "Show Changes..." copies for a cable optimization is
// exactly what "Optimize" then changes, each row's "Now" and "After" as the registry and
// the INI files hold them before and after, and so for "Apply and Exit" in advanced mode
// with every list off "Default"; opening the window changes nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "advanced/apply_settings.h"
#include "desktop_driver.h"
#include "engine/change_plan.h"
#include "installation.h"
#include "support/planned_outcome.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

namespace wh = wine_harness;
using veltrano::kHkeyLocalMachine;

// Setting names compare as Windows compares key paths: "System" (the catalogue's) and
// "SYSTEM" (the NT profiles') name one key.
struct NoCase {
  bool operator()(const std::string& a, const std::string& b) const {
    return _stricmp(a.c_str(), b.c_str()) < 0;
  }
};
using Settings = std::map<std::string, std::string, NoCase>;

// Every registry value and port line either optimization can touch, shown as the
// Changes window shows data ("not set" when absent).
Settings Shown(const planned_outcome::Outcome& values) {
  Settings shown;
  for (const auto& [id, planned] : values) {
    const auto& [root, path, name] = id;
    veltrano::SavedValue value{{root, path, name}, false, 0, ""};
    if (const auto raw = wh::ReadRaw(root, path, name)) {
      value = {{root, path, name}, true, raw->type, raw->bytes};
    }
    const char* rootName = root == veltrano::kHkeyUsers ? "HKU\\" : "HKLM\\";
    shown[rootName + path + (path.empty() ? "" : "\\") + name] = veltrano::DataForDisplay(value);
  }
  for (const char* ini : {"win.ini", "system.ini"}) {
    for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
      const std::string setting = PortSetting(ini, port);
      shown[wh::WindowsDir() + "\\" + ini + " [Ports] " + port] =
          setting.empty() ? "not set" : setting;
    }
  }
  return shown;
}

// Each copied row names a known target, with its data before and after the change, and
// there is a row for every target that changed.
void ExpectRowsAreTheChange(const std::string& rows, Settings before, const Settings& after) {
  ASSERT_EQ(rows.rfind("Setting\tNow\tAfter\r\n", 0), 0u) << rows;
  std::size_t count = 0;
  for (std::size_t at = rows.find("\r\n") + 2; at < rows.size(); ++count) {
    const std::size_t end = rows.find("\r\n", at);
    const std::string line = rows.substr(at, end - at);
    at = end + 2;
    const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
    const std::string setting = line.substr(0, tab1);
    ASSERT_TRUE(before.count(setting)) << "a row of no known target: " << line;
    EXPECT_EQ(line.substr(tab1 + 1, tab2 - tab1 - 1), before[setting]) << setting;
    EXPECT_EQ(line.substr(tab2 + 1), after.at(setting)) << setting;
  }
  std::size_t changed = 0;
  for (const auto& [setting, now] : before) changed += now == after.at(setting) ? 0 : 1;
  EXPECT_EQ(count, changed) << rows;
}

class ChangesWindow : public Installation {};

// One emulated Windows a test run: VELTRANO_E2E_WINVER (CTest runs it as win98 and as
// winxp), win98 when unset.
TEST_F(ChangesWindow, CopiedRowsAreExactlyWhatOptimizeChanges) {
  const char* asked = std::getenv("VELTRANO_E2E_WINVER");
  for (const char* version : {asked ? asked : "win98"}) {
    SCOPED_TRACE(version);
    Scrub();
    ASSERT_TRUE(wh::SetEmulatedWindowsVersion("Veltrano.exe", version));
    const bool nine = std::string(version) == "win98";
    if (nine) {
      ASSERT_TRUE(wh::PutText(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                              "SystemRoot", wh::WindowsDir()));
    }
    ASSERT_EQ(InstallSilently(), 0);
    planned_outcome::Outcome touched;  // by the profiles of either family
    for (const char* suffix : {"", "2k"}) {
      for (const char* profile : {"VLO\\modem56k", "VLO\\lanisdn", "VLU\\modem56k"}) {
        const bool writes = profile[2] == 'O';
        const std::string file =
            Installed(std::string(profile) + suffix + (writes ? ".vlo" : ".vlu"));
        const auto mode = writes ? veltrano::ScriptMode::kWrite : veltrano::ScriptMode::kDelete;
        for (const auto& entry : planned_outcome::PlannedOutcome(file, mode)) {
          touched.insert(entry);
        }
      }
    }
    for (const veltrano::ChangedValue& target : veltrano::CatalogueTargets()) {
      touched[{target.root, target.keyPath, target.name}] = std::nullopt;
      // The other version's run in this prefix left them as advanced mode sets them.
      wh::DeleteValue(target.root, target.keyPath, target.name);
    }
    touched[{kHkeyLocalMachine, nine ? "Software\\QuarnSoft\\Veltrano" : kProgramKey,
             "LastOptim"}] = std::nullopt;
    OptimizeThroughWizard({"Modem", "56kflex , V.90 , V.92"}, true, "changes-type1");

    Settings before;
    std::string rows;
    OptimizeThroughWizard({"Cable , xDSL", "Normal"}, false, "changes-type3", [&](HWND main) {
      before = Shown(touched);
      rows = desktop::CopiedChanges(main, "changes-copied");
      EXPECT_EQ(Shown(touched), before) << "opening the window changed nothing";
    });
    const Settings after = Shown(touched);

    ExpectRowsAreTheChange(rows, before, after);

    // Advanced mode, every list off "Default": the same, with "Apply and Exit".
    desktop::Program veltrano(Installed("Veltrano.exe"), "", InstallDir());
    HWND main = desktop::WaitForWindow("TForm1", "Veltrano v2.11");
    ASSERT_NE(main, nullptr) << desktop::VisibleWindows();
    desktop::Click(desktop::WaitForControl(main, "Advanced Mode"));
    HWND advanced = desktop::WaitForWindow("TAdvance", "Veltrano v2.11 Advanced Mode");
    ASSERT_NE(advanced, nullptr) << desktop::VisibleWindows();
    std::vector<HWND> lists;
    EnumChildWindows(
        advanced,
        [](HWND child, LPARAM found) {
          char name[16] = {};
          GetClassNameA(child, name, sizeof name);
          if (lstrcmpiA(name, "ComboBox") == 0)
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&lists));
    ASSERT_GE(lists.size(), 36u);
    for (HWND list : lists) SendMessageA(list, CB_SETCURSEL, 1, 0);
    before = Shown(touched);
    rows = desktop::CopiedChanges(advanced, "changes-copied");
    EXPECT_EQ(Shown(touched), before) << "opening the window changed nothing";
    desktop::Click(desktop::FindControl(advanced, "Apply and Exit"));
    HWND prompt = desktop::WaitForWindow("Trestart", "Warning");
    ASSERT_NE(prompt, nullptr) << desktop::VisibleWindows();
    ExpectRowsAreTheChange(rows, before, Shown(touched));
    EXPECT_NE(rows.find("\r\n", rows.find("\r\n") + 2), std::string::npos) << "some rows";
    desktop::Click(desktop::FindControl(prompt, "Exit"));
    EXPECT_EQ(veltrano.WaitForExit(), 0);
  }
}

}  // namespace
}  // namespace e2e
