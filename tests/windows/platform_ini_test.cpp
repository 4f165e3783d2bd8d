// The INI writer against Wine's own WritePrivateProfileStringA and real files.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/ini_file.h"
#include "support/wine_harness.h"

namespace veltrano {
namespace {

// The lines that are not entries of the given keys, in order and byte for byte.
std::vector<std::string> Without(const std::vector<std::string>& lines,
                                 const std::vector<std::string>& keys) {
  std::vector<std::string> kept;
  for (const auto& line : lines) {
    bool entry = false;
    for (const auto& key : keys) entry = entry || line.rfind(key + "=", 0) == 0;
    if (!entry) kept.push_back(line);
  }
  return kept;
}

// Lines as Windows and Wine write them. Wine's writer itself drops blank lines and the
// blanks around keys and values of every line when it saves, so those are left out.
const char kWinIni[] =
    "; for 16-bit app support\r\n"
    "[fonts]\r\n"
    "[extensions]\r\n"
    "txt=notepad.exe ^.txt\r\n"
    "[mci extensions]\r\n"
    "[Ports]\r\n"
    "COM1:=9600,n,8,1\r\n"
    "LPT1:=\r\n"
    "FILE:=\r\n"
    "COM3:=2400,n,8,1,x\r\n"
    "a line without an equals sign\r\n"
    "[windows]\r\n"
    "load=\r\n"
    "run=x.exe  ; keep me\r\n"
    "Device=HP LaserJet,winspool,LPT1:\r\n"
    "[mail]\r\n"
    "MAPI=1\r\n";

TEST(IniFileUnderWine, WritesTheEntriesAndLeavesEveryOtherLineAsItWas) {
  wine_harness::TempFolder folder;
  const std::string path = folder.File("win.ini");
  ASSERT_TRUE(wine_harness::WriteFileBytes(path, kWinIni));
  {
    TIniFile ini(path);
    ini.WriteEntry("Ports", "COM1:", "921600,n,8,1,p");
    ini.WriteEntry("Ports", "COM5:", "921600,n,8,1,p");
    ini.WriteEntry("ports", "com3:", "9600,n,8,1,x");
  }
  const auto written = wine_harness::ReadFileBytes(path);
  ASSERT_TRUE(written.has_value());
  const auto lines = wine_harness::CrLfLines(*written);
  const std::vector<std::string> keys = {"COM1:", "COM3:", "com3:", "COM5:"};
  EXPECT_EQ(Without(lines, keys), Without(wine_harness::CrLfLines(kWinIni), keys)) << *written;

  // Each written entry is in the Ports section, once.
  const auto ports = std::find(lines.begin(), lines.end(), "[Ports]");
  const auto windows = std::find(lines.begin(), lines.end(), "[windows]");
  ASSERT_NE(ports, lines.end());
  const struct {
    const char* key;
    const char* value;
  } expected[] = {
      {"COM1:", "921600,n,8,1,p"}, {"COM5:", "921600,n,8,1,p"}, {"COM3:", "9600,n,8,1,x"}};
  for (const auto& entry : expected) {
    int found = 0;
    for (auto line = ports; line != windows; ++line) {
      std::string upper = *line;
      for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
      if (upper.rfind(std::string(entry.key) + "=", 0) == 0) {
        ++found;
        EXPECT_EQ(line->substr(line->find('=') + 1), entry.value) << *line;
      }
    }
    EXPECT_EQ(found, 1) << entry.key << "\n" << *written;
  }
}

TEST(IniFileUnderWine, AddsAMissingSectionAndMakesAMissingFile) {
  wine_harness::TempFolder folder;
  const std::string path = folder.File("system.ini");
  ASSERT_TRUE(wine_harness::WriteFileBytes(path, "[boot]\r\nshell=Explorer.exe\r\n"));
  TIniFile(path).WriteEntry("Ports", "COM2:", "9600,n,8,1,x");
  const auto written = wine_harness::ReadFileBytes(path);
  ASSERT_TRUE(written.has_value());
  EXPECT_EQ(written->rfind("[boot]\r\nshell=Explorer.exe\r\n", 0), 0u) << *written;
  EXPECT_NE(written->find("[Ports]\r\nCOM2:=9600,n,8,1,x\r\n"), std::string::npos) << *written;

  const std::string fresh = folder.File("fresh.ini");
  TIniFile(fresh).WriteEntry("Ports", "COM4:", "");
  EXPECT_EQ(wine_harness::ReadFileBytes(fresh),
            std::optional<std::string>("[Ports]\r\nCOM4:=\r\n"));
}

TEST(IniFileUnderWine, AFileInAMissingFolderIsRefusedWithItsPath) {
  wine_harness::TempFolder folder;
  const std::string path = folder.Path() + "\\NoSuchFolder\\win.ini";
  TIniFile ini(path);
  try {
    ini.WriteEntry("Ports", "COM1:", "9600,n,8,1,x");
    ADD_FAILURE() << "the write was accepted";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
  }
  EXPECT_FALSE(wine_harness::FileExists(path));
}

// Lines read whole however long; a file that is there but locked is never taken for
// one without the line.
TEST(IniFileUnderWine, ReadsLongLinesWholeAndRefusesAFileItCannotRead) {
  wine_harness::TempFolder folder;
  const std::string path = folder.File("win.ini"), longLine(5000, 'x');
  ASSERT_TRUE(wine_harness::WriteFileBytes(
      path, "[Ports]\r\nCOM1:=" + longLine + "\r\nCOM2:=" + std::string(70000, 'y') + "\r\n"));
  ProfileStringApi& ini = SystemProfileStrings();
  EXPECT_EQ(ini.ReadString("Ports", "COM1:", path), longLine);
  EXPECT_THROW(ini.ReadString("Ports", "COM2:", path), EIniFileException);
  EXPECT_EQ(ini.ReadString("Ports", "COM3:", folder.File("none.ini")), std::nullopt);
  const HANDLE locked =
      CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locked, INVALID_HANDLE_VALUE);
  EXPECT_THROW(ini.ReadString("Ports", "COM3:", path), EIniFileException);
  CloseHandle(locked);
  EXPECT_EQ(ini.ReadString("Ports", "COM3:", path), std::nullopt);
}

}  // namespace
}  // namespace veltrano
