// Restores through the installed program: after a 56k and then a cable optimization,
// `/restore` with the backup taken before the second change gives back exactly the
// state after the first; the backup from before Veltrano gives back a COM1 line holding
// a tab; crafted and cut backups are refused with nothing written.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "desktop_driver.h"
#include "installation.h"
#include "support/planned_outcome.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

namespace wh = wine_harness;
using planned_outcome::Outcome;
using veltrano::kHkeyCurrentUser;
using veltrano::kHkeyLocalMachine;

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kMyCom1[] = "19200,n,8,1\t; mine";

// Runs "Veltrano.exe /restore FILE"; Yes to its question, OK to its report, Exit at the
// restart prompt. The text of the first box it showed.
std::string RestoreThroughProgram(const std::string& file, bool expectRestored) {
  desktop::Program veltrano(Installed("Veltrano.exe"), "/restore \"" + file + "\"", InstallDir());
  HWND box = desktop::WaitForWindow("#32770", "Veltrano v2.11");
  EXPECT_NE(box, nullptr) << desktop::VisibleWindows();
  if (!box) return "";
  std::string text;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM found) {
        char className[16] = {};
        GetClassNameA(child, className, sizeof className);
        const std::string childText = desktop::TextOf(child);
        if (lstrcmpiA(className, "Static") == 0 && childText.size() > 8) {
          *reinterpret_cast<std::string*>(found) += childText;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  if (!expectRestored) {
    desktop::Click(desktop::FindControl(box, "OK"));
    EXPECT_NE(veltrano.WaitForExit(), 0) << "a refused file ends the program on an error";
    return text;
  }
  desktop::Click(desktop::FindControl(box, "&Yes"));
  HWND report = nullptr;
  desktop::WaitFor([&] {
    report = desktop::FindWindowNow("#32770", "Veltrano v2.11");
    return report && desktop::FindControl(report, "OK");
  });
  desktop::Click(desktop::FindControl(report, "OK"));
  HWND prompt = desktop::WaitForWindow("Trestart", "Warning");
  EXPECT_NE(prompt, nullptr) << desktop::VisibleWindows();
  if (prompt) desktop::Click(desktop::FindControl(prompt, "Exit"));
  EXPECT_EQ(veltrano.WaitForExit(), 0);
  return text;
}

std::string LatestBackups(int fromNewest) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(Installed("Backup\\backup-*.txt").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
  }
  std::sort(names.begin(), names.end());
  return names.size() > static_cast<std::size_t>(fromNewest)
             ? Installed("Backup\\" + names[names.size() - 1 - fromNewest])
             : "";
}

struct Snapshot {
  std::map<planned_outcome::ValueId, std::optional<std::string>> values;
  std::optional<std::string> lastOptim;
  std::optional<std::string> winIni, systemIni;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const Outcome& ids) {
  Snapshot snapshot;
  for (const auto& [id, planned] : ids) snapshot.values[id] = planned_outcome::Described(id);
  snapshot.lastOptim = wh::ReadText(kHkeyLocalMachine, kProgramKey, "LastOptim");
  snapshot.winIni = wh::ReadFileBytes(wh::WindowsDir() + "\\win.ini");
  snapshot.systemIni = wh::ReadFileBytes(wh::WindowsDir() + "\\system.ini");
  return snapshot;
}

class RestoreThroughTheProgram : public Installation {};

TEST_F(RestoreThroughTheProgram, PointsGiveBackExactStatesAndForeignFilesAreRefused) {
  const std::string winIni = wh::WindowsDir() + "\\win.ini";
  const auto originalWinIni = wh::ReadFileBytes(winIni);
  ASSERT_TRUE(wh::WriteFileBytes(winIni, "[Ports]\r\nCOM1:=" + std::string(kMyCom1) + "\r\n"));
  ASSERT_EQ(InstallSilently(), 0);
  Outcome touched = planned_outcome::PlannedOutcome(Installed("VLO\\modem56k2k.vlo"),
                                                    veltrano::ScriptMode::kWrite);
  for (const auto& entry : planned_outcome::PlannedOutcome(Installed("VLO\\lanisdn2k.vlo"),
                                                           veltrano::ScriptMode::kWrite)) {
    touched.insert(entry);
  }
  ASSERT_FALSE(touched.empty());

  OptimizeThroughWizard({"Modem", "56kflex , V.90 , V.92"}, true, "restore-type1");
  const Snapshot afterFirst = Take(touched);
  EXPECT_EQ(afterFirst.lastOptim, "1");
  OptimizeThroughWizard({"Cable , xDSL", "Normal"}, false, "restore-type3");
  ASSERT_NE(Take(touched), afterFirst);

  // Backups 2 (the undo of type 1) and 3 (type 3) were taken before the second change.
  const std::string beforeSecond = LatestBackups(1);
  ASSERT_NE(beforeSecond.find("backup-0002-"), std::string::npos) << beforeSecond;
  const auto kept = wh::ReadFileBytes(beforeSecond);
  ASSERT_TRUE(kept.has_value());

  // Refused whole, before any question: foreign targets, cut files and crafted values.
  const std::string head = "Veltrano settings backup\r\nTaken=x\r\nBefore=y\r\n";
  const std::string mstcp = "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP]";
  std::string largeHex = "hex:00";
  for (int i = 0; i < 20000; ++i) largeHex += ",00";
  const struct {
    std::string text;
    const char* said;
  } refused[] = {
      {head + "[HKEY_LOCAL_MACHINE\\" + kRunKey + "]\r\n\"Evil\"=\"x.exe\"\r\nEnd=1\r\n",
       "CurrentVersion\\Run \"Evil\" at line 5"},
      {head + "[INI " + wh::WindowsDir() +
           "\\system.ini :: boot]\r\n\"shell\"=\"x.exe\"\r\nEnd=1\r\n",
       "[boot] shell at line 5"},
      {head + "[HKEY_CURRENT_USER\\Software\\X]\r\n\"A\"=\"1\"\r\nEnd=1\r\n", "HKEY_CURRENT_USER"},
      {kept->substr(0, kept->rfind("End=")), "ends before its end line"},
      {head + "[INI " + wh::WindowsDir() + "\\win.ini :: Ports]\r\n" +
           R"("COM1:"="9600\x0D\x0A[windows]\x0D\x0Arun=C:\\evil.exe")" + "\r\nEnd=1\r\n",
       "control byte 0x0d at line 5"},
      {head + "[HKEY_LOCAL_MACHINE\\System]\r\n" +
           R"("CurrentControlSet\\Services\\VxD\\MSTCP\\DefaultRcvWindow"=hex(7):31,00,00)" +
           "\r\nEnd=1\r\n",
       "System \"CurrentControlSet\\Services"},
      {head + mstcp + "\r\n\"DefaultRcvWindow\"=hex(ffffffff):01\r\nEnd=1\r\n", "type 0xffffffff"},
      {head + mstcp + "\r\n\"DefaultRcvWindow\"=" + largeHex + "\r\nEnd=1\r\n", "20001 bytes"},
      {head + std::string(12 << 20, ';') + "\r\nEnd=0\r\n", "larger than 1024 KB"},
  };
  const std::string crafted = wh::WindowsDir() + "\\crafted.txt";
  const Snapshot beforeRefused = Take(touched);
  for (const auto& file : refused) {
    ASSERT_TRUE(wh::WriteFileBytes(crafted, file.text));
    const std::string said = RestoreThroughProgram(crafted, false);
    EXPECT_TRUE(said.find(file.said) != std::string::npos &&
                said.find(crafted) != std::string::npos)
        << said;
  }
  EXPECT_TRUE(Take(touched) == beforeRefused) << "the registry and both INI files as they were";
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, "System",
                         "CurrentControlSet\\Services\\VxD\\MSTCP\\DefaultRcvWindow"),
            std::nullopt);
  EXPECT_EQ(wh::ReadText(kHkeyLocalMachine, kRunKey, "Evil"), std::nullopt);
  EXPECT_EQ(wh::ReadText(kHkeyCurrentUser, "Software\\X", "A"), std::nullopt);

  RestoreThroughProgram(beforeSecond, true);
  EXPECT_TRUE(Take(touched) == afterFirst) << "the state after the first optimization";

  // Spelt with forward slashes, the kept file is still the one from before Veltrano.
  std::string first = Installed("Backup\\before-veltrano.txt");
  std::replace(first.begin(), first.end(), '\\', '/');
  EXPECT_NE(RestoreThroughProgram(first, true).find("the settings from before Veltrano, saved on"),
            std::string::npos);
  const auto restored = wh::ReadFileBytes(winIni);
  ASSERT_TRUE(restored.has_value());
  EXPECT_NE(restored->find(std::string("COM1:=") + kMyCom1), std::string::npos) << *restored;
  if (originalWinIni) wh::WriteFileBytes(winIni, *originalWinIni);
}

}  // namespace
}  // namespace e2e
