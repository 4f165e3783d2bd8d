// The Changes window through the installed program, under emulated Windows 98 and XP:
// after a 56k optimization, what "Show Changes..." copies for a cable optimization is
// exactly what "Optimize" then changes, each row's "Now" and "After" as the registry and
// the INI files hold them before and after; opening the window changed nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "desktop_driver.h"
#include "engine/change_plan.h"
#include "installation.h"
#include "support/planned_outcome.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

namespace wh = wine_harness;
using veltrano::kHkeyLocalMachine;

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* bytes = static_cast<const char*>(GlobalLock(data))) text = bytes;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// Every registry value and port line either optimization can touch, shown as the
// Changes window shows data ("not set" when absent).
std::map<std::string, std::string> Shown(const planned_outcome::Outcome& values) {
  std::map<std::string, std::string> shown;
  for (const auto& [id, planned] : values) {
    const auto& [root, path, name] = id;
    veltrano::SavedValue value{{root, path, name}, false, 0, ""};
    if (const auto raw = wh::ReadRaw(root, path, name)) {
      value = {{root, path, name}, true, raw->type, raw->bytes};
    }
    const char* rootName = root == veltrano::kHkeyUsers ? "HKU\\" : "HKLM\\";
    shown[rootName + path + "\\" + name] = veltrano::DataForDisplay(value);
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
    touched[{kHkeyLocalMachine, nine ? "Software\\QuarnSoft\\Veltrano" : kProgramKey,
             "LastOptim"}] = std::nullopt;
    OptimizeThroughWizard({"Modem", "56kflex , V.90 , V.92"}, true, "changes-type1");

    std::map<std::string, std::string> before, copied;
    std::string rows;
    OptimizeThroughWizard({"Cable , xDSL", "Normal"}, false, "changes-type3", [&](HWND main) {
      before = Shown(touched);
      desktop::Click(desktop::FindControl(main, "Show &Changes..."));
      HWND window = desktop::WaitForWindow("TChanges", "Veltrano v2.11 - Changes");
      ASSERT_NE(window, nullptr) << desktop::VisibleWindows();
      desktop::SaveShot(window, std::string("changes-") + version);
      desktop::Click(desktop::FindControl(window, "&Copy"));
      desktop::WaitFor([&] { return !(rows = ClipboardText()).empty(); });
      desktop::Click(desktop::FindControl(window, "&Close"));
      EXPECT_EQ(Shown(touched), before) << "opening the window changed nothing";
    });
    const std::map<std::string, std::string> after = Shown(touched);

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
}

}  // namespace
}  // namespace e2e
