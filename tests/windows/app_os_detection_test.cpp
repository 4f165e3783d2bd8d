// OS detection under every Windows version Wine emulates. The emulated version is
// read when a program starts, so each case starts the probe program afresh.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "support/wine_harness.h"

namespace {

std::map<std::string, std::string> ProbeUnder(const std::string& version) {
  wine_harness::TempFolder folder;
  EXPECT_TRUE(wine_harness::SetEmulatedWindowsVersion("os_probe.exe", version));
  const std::string out = folder.File("probe.txt");
  const int code =
      wine_harness::RunProgram(wine_harness::BinDir() + "\\os_probe.exe", "\"" + out + "\"", 60000);
  wine_harness::SetEmulatedWindowsVersion("os_probe.exe", "");
  EXPECT_EQ(code, 0) << version;
  std::map<std::string, std::string> fields;
  std::istringstream lines(wine_harness::ReadFileBytes(out).value_or(""));
  for (std::string line; std::getline(lines, line);) {
    const auto eq = line.find('=');
    if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return fields;
}

TEST(OsDetectionUnderWine, EveryEmulatedVersionGivesItsCodeSpellingsAndSuffix) {
  const struct {
    const char* version;
    const char* platformAndVersion;  // what the emulation reports, as a sanity check
    const char* osCode;
    const char* software;
    const char* system;
    const char* suffix;
  } cases[] = {
      {"win95", "1 4.0", "0", "Software", "System", "[]"},
      {"win98", "1 4.10", "2", "Software", "System", "[]"},  // 98 SE: CSD " A "
      {"winme", "1 4.90", "3", "Software", "System", "[]"},
      {"nt40", "2 4.0", "4", "SOFTWARE", "SYSTEM", "[2k]"},
      {"win2k", "2 5.0", "5", "SOFTWARE", "SYSTEM", "[2k]"},
      {"winxp", "2 5.1", "6", "SOFTWARE", "SYSTEM", "[2k]"},
      {"win2003", "2 5.2", "6", "SOFTWARE", "SYSTEM", "[2k]"},
      {"win7", "2 6.1", "6", "SOFTWARE", "SYSTEM", "[2k]"},
      // Without a compatibility manifest Windows 10 reports itself as 6.2, and Wine too.
      {"win10", "2 6.2", "6", "SOFTWARE", "SYSTEM", "[2k]"},
  };
  for (const auto& c : cases) {
    auto fields = ProbeUnder(c.version);
    EXPECT_EQ(fields["platform"] + " " + fields["version"], c.platformAndVersion) << c.version;
    EXPECT_EQ(fields["OsCode"], c.osCode) << c.version;
    EXPECT_EQ(fields["Software"], c.software) << c.version;
    EXPECT_EQ(fields["System"], c.system) << c.version;
    EXPECT_EQ(fields["Suffix"], c.suffix) << c.version;
  }
}

TEST(OsDetectionUnderWine, Windows98ReportsTheSecondEditionLetter) {
  auto fields = ProbeUnder("win98");
  EXPECT_EQ(fields["csd"], "[ A ]");
}

}  // namespace
