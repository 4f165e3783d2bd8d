// The measure window over the path tests/e2e/measure-path.sh builds (VELTRANO_MEASURE_PATH
// "path" or "blackhole"): `Veltrano.exe /measure 10.0.2.2` measures at once; the copied
// figures, the Changes rows, the applied values and the backup are checked.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "desktop_driver.h"
#include "engine/backup.h"
#include "installation.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

namespace wh = wine_harness;
constexpr char kTcpip[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

std::map<std::string, std::string> CopiedFigures(HWND window) {
  std::map<std::string, std::string> figures;
  for (const std::string& line : wh::CrLfLines(desktop::CopiedText(window))) {
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
  ASSERT_NE(desktop::WaitForControl(window, "&Copy", 120000), nullptr);
  desktop::WaitForControl(window, "&Start");
  desktop::SaveShot(window, blackHole ? "measure-blackhole" : "measure");
  std::map<std::string, std::string> figures = CopiedFigures(window);
  ASSERT_EQ(figures["MTU"], blackHole ? "1404" : "1400") << "what was measured";
  EXPECT_EQ(figures["Host"], "10.0.2.2");
  EXPECT_EQ(figures["Black hole"], blackHole ? "yes" : "no");
  unsigned low = 0, median = 0, high = 0;
  ASSERT_EQ(std::sscanf(figures["Round trip"].c_str(), "%u/%u/%u ms", &low, &median, &high), 3)
      << figures["Round trip"];
  EXPECT_TRUE(low >= 190 && high <= 300) << figures["Round trip"];
  std::printf("figures: %s | MTU %s | round trip %s | black hole %s\n", figures["Adapter"].c_str(),
              figures["MTU"].c_str(), figures["Round trip"].c_str(), figures["Black hole"].c_str());

  const std::string rows = desktop::CopiedChanges(window, "measure-changes");
  const std::size_t row = rows.find("HKLM\\" + std::string(kTcpip) + "\\Interfaces\\{0000000");
  ASSERT_NE(row, std::string::npos) << rows;
  const std::string line = rows.substr(row, rows.find("\r\n", row) - row);
  EXPECT_NE(line.find("\\MTU\tnot set\t" + figures["MTU"]), std::string::npos) << line;
  const std::string guid = line.substr(line.find('{'), 38);
  EXPECT_EQ(rows.find("EnablePMTUBHDetect\tnot set\t1") != std::string::npos, blackHole) << rows;

  desktop::Click(desktop::FindControl(window, "&Apply"));
  HWND prompt = desktop::WaitForWindow("Trestart", "Warning");
  ASSERT_NE(prompt, nullptr) << desktop::VisibleWindows();
  EXPECT_EQ(wh::ReadNumber(veltrano::kHkeyLocalMachine, kTcpip + ("\\Interfaces\\" + guid), "MTU"),
            blackHole ? 1404u : 1400u);  // a DWORD
  EXPECT_EQ(wh::ReadNumber(veltrano::kHkeyLocalMachine, kTcpip, "EnablePMTUBHDetect"),
            blackHole ? std::optional<std::uint32_t>(1) : std::nullopt);
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
