// The measure window over a real path: tests/e2e/measure-path.sh builds network
// namespaces h1 -(1500)- router -(1400)- h2, answers echoes in h2 after 200 ms and runs
// this test inside h1. `Veltrano.exe /measure 10.0.2.2` measures at once; the copied
// figures, the Changes row and the applied MTU are checked. With
// VELTRANO_MEASURE_PATH=blackhole the router's side of the far link carries 1500 and
// drops bigger packets without a word.
#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "desktop_driver.h"
#include "engine/backup.h"
#include "installation.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

namespace wh = wine_harness;

std::map<std::string, std::string> CopiedFigures(HWND window) {
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  desktop::Click(desktop::FindControl(window, "&Copy"));
  std::string text;
  desktop::WaitFor([&] { return !(text = desktop::ClipboardText()).empty(); });
  std::map<std::string, std::string> figures;
  for (const std::string& line : wh::CrLfLines(text)) {
    const std::size_t tab = line.find('\t');
    if (tab != std::string::npos) figures[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return figures;
}

class MeasurePath : public Installation {};

TEST_F(MeasurePath, MeasuresThePathAndSetsTheAdapterMtu) {
  const char* path = std::getenv("VELTRANO_MEASURE_PATH");
  if (!path) GTEST_SKIP() << "runs inside the namespaces of tests/e2e/measure-path.sh";
  const bool blackHole = std::string(path) == "blackhole";
  ASSERT_EQ(InstallSilently(), 0);
  desktop::Program veltrano(Installed("Veltrano.exe"), "/measure 10.0.2.2", InstallDir());
  HWND window = desktop::WaitForWindow("TMeasure", "Veltrano v2.11 - Measure");
  ASSERT_NE(window, nullptr) << desktop::VisibleWindows();
  // "&Copy" is enabled once the measurement has ended.
  const DWORD started = GetTickCount();
  ASSERT_NE(desktop::WaitForControl(window, "&Copy", 120000), nullptr);
  const DWORD took = GetTickCount() - started;
  desktop::WaitForControl(window, "&Start");
  desktop::SaveShot(window, blackHole ? "measure-blackhole" : "measure");
  std::map<std::string, std::string> figures = CopiedFigures(window);
  ASSERT_FALSE(figures["MTU"].empty()) << "nothing was measured";
  EXPECT_EQ(figures["Host"], "10.0.2.2");
  EXPECT_EQ(figures["MTU"], blackHole ? "1404" : "1400");
  EXPECT_EQ(figures["Black hole"], blackHole ? "yes" : "no");
  unsigned low = 0, median = 0, high = 0;
  ASSERT_EQ(std::sscanf(figures["Round trip"].c_str(), "%u/%u/%u ms", &low, &median, &high), 3)
      << figures["Round trip"];
  EXPECT_GE(low, 190u);
  EXPECT_LE(high, 300u);
  HWND probes = FindWindowExA(window, FindWindowExA(window, nullptr, "SysListView32", nullptr),
                              "SysListView32", nullptr);
  std::printf("figures: %s | MTU %s | round trip %s | black hole %s | %d probes | %lu ms\n",
              figures["Adapter"].c_str(), figures["MTU"].c_str(), figures["Round trip"].c_str(),
              figures["Black hole"].c_str(), static_cast<int>(ListView_GetItemCount(probes)),
              static_cast<unsigned long>(took));

  const std::string adapterKey =
      "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\{0000000";
  const std::string rows = desktop::CopiedChanges(window, "measure-changes");
  const std::size_t row = rows.find("HKLM\\" + adapterKey);
  ASSERT_NE(row, std::string::npos) << rows;
  const std::size_t end = rows.find("\r\n", row);
  const std::string line = rows.substr(row, end - row);
  EXPECT_NE(line.find("\\MTU\tnot set\t" + figures["MTU"]), std::string::npos) << line;
  const std::string guid = line.substr(line.find('{'), 38);
  EXPECT_EQ(rows.find("EnablePMTUBHDetect\tnot set\t1") != std::string::npos, blackHole) << rows;

  desktop::Click(desktop::FindControl(window, "&Apply"));
  HWND prompt = desktop::WaitForWindow("Trestart", "Warning");
  ASSERT_NE(prompt, nullptr) << desktop::VisibleWindows();
  const auto mtu = wh::ReadRaw(
      veltrano::kHkeyLocalMachine,
      "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" + guid, "MTU");
  ASSERT_TRUE(mtu);
  EXPECT_EQ(mtu->type, 4u);
  EXPECT_EQ(mtu->bytes, std::string(blackHole ? "\x7c\x05\0\0" : "\x78\x05\0\0", 4));
  if (blackHole) {
    EXPECT_EQ(wh::ReadNumber(veltrano::kHkeyLocalMachine,
                             "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters",
                             "EnablePMTUBHDetect"),
              1u);
  }
  const std::vector<std::string> backups = veltrano::BackupFiles(InstallDir() + "\\");
  ASSERT_FALSE(backups.empty()) << "a backup is kept";
  const veltrano::SettingsBackup kept = veltrano::ReadBackupFile(backups.back());
  EXPECT_EQ(kept.before, "a measured MTU for " + figures["Adapter"]);
  ASSERT_FALSE(kept.values.empty());
  EXPECT_FALSE(kept.values.front().present) << "the MTU was not set before";
  desktop::Click(desktop::FindControl(prompt, "Exit"));
  EXPECT_EQ(veltrano.WaitForExit(), 0);
}

}  // namespace
}  // namespace e2e
