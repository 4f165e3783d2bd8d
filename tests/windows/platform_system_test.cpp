// The Win32 backends and the test harness against Wine: system root, version,
// restart privilege, launcher, key access lists and child programs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/launcher.h"
#include "platform/os_version.h"
#include "platform/registry.h"
#include "platform/shutdown.h"
#include "platform/system_root.h"
#include "support/wine_harness.h"
#include "windows/platform_child_process.h"

namespace veltrano {
namespace {

const std::string k9xPath = "Software\\Microsoft\\Windows\\CurrentVersion";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string LookUp(std::uint32_t platformId, std::vector<std::string>* reports) {
  return LookupSystemRoot(
      SystemRegistry(), platformId, [&](const std::string& text) { reports->push_back(text); },
      LastErrorTextSource(SystemLastErrorText));
}

TEST(SystemRootUnderWine, TheNtKeyGivesTheWindowsFolder) {
  std::vector<std::string> reports;
  const std::string root = LookUp(kPlatformWin32Nt, &reports);
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(Lower(root), Lower(wine_harness::WindowsDir()));
  EXPECT_EQ(Lower(root), "c:\\windows");
}

TEST(SystemRootUnderWine, The9xKeyAnswersOnlyWhenTheValueIsThere) {
  std::vector<std::string> reports;
  ASSERT_TRUE(wine_harness::KeyExists(kHkeyLocalMachine, k9xPath));
  wine_harness::DeleteValue(kHkeyLocalMachine, k9xPath, "SystemRoot");
  EXPECT_EQ(LookUp(kPlatformWin32Windows, &reports), "");
  EXPECT_TRUE(reports.empty());

  // A real Windows 98 keeps the value here as well.
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, k9xPath, "SystemRoot", "C:\\WINDOWS"));
  EXPECT_EQ(LookUp(kPlatformWin32Windows, &reports), "C:\\WINDOWS");

  ASSERT_TRUE(wine_harness::PutNumber(kHkeyLocalMachine, k9xPath, "SystemRoot", 1));
  EXPECT_EQ(LookUp(kPlatformWin32Windows, &reports), "");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].rfind("Registry: Failed read access\r\n\r\nInvalid data type for "
                             "'SystemRoot'\r\n",
                             0),
            0u)
      << reports[0];
  EXPECT_TRUE(wine_harness::DeleteValue(kHkeyLocalMachine, k9xPath, "SystemRoot"));
}

TEST(OsVersionUnderWine, TheVersionCallAnswersWithAnNtVersion) {
  const OsVersionInfo info = QueryOsVersion();
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.platformId, kPlatformWin32Nt);
  EXPECT_GE(info.major, 5u);
  EXPECT_LT(info.csdVersion.size(), 128u);
}

TEST(OsVersionUnderWine, AnEmulatedVersionReachesTheNextStartOfTheProgram) {
  const std::string full = veltrano::ExecutablePath();
  const std::string exeName = full.substr(veltrano::LastSeparator(full) + 1);
  const struct {
    const char* version;
    const char* reported;  // platform.major.minor
  } cases[] = {{"winxp", "2.5.1"}, {"win2k", "2.5.0"}, {"win98", "1.4.10"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(wine_harness::SetEmulatedWindowsVersion(exeName, c.version));
    EXPECT_EQ(wine_harness::ReadText(kHkeyCurrentUser, "Software\\Wine\\AppDefaults\\" + exeName,
                                     "Version"),
              c.version);
    EXPECT_EQ(platform_child::RunChild(std::string("version:") + c.reported), 0) << c.version;
  }
  ASSERT_TRUE(wine_harness::SetEmulatedWindowsVersion(exeName, ""));
  EXPECT_FALSE(
      wine_harness::ReadText(kHkeyCurrentUser, "Software\\Wine\\AppDefaults\\" + exeName, "Version")
          .has_value());
}

TEST(ShutdownUnderWine, TheRestartPrivilegeCanBeEnabled) {
  ShutdownApi& api = SystemShutdown();
  EXPECT_EQ(api.PlatformId(), kPlatformWin32Nt);
  EXPECT_TRUE(api.EnableShutdownPrivilege());
}

TEST(LauncherUnderWine, StartsTheFileInTheGivenFolder) {
  wine_harness::TempFolder folder;
  const std::string marker = folder.File("launched.txt");
  TBUExecute starter;
  starter.exec(wine_harness::WindowsDir() + "\\system32\\cmd.exe", "/c echo launched> launched.txt",
               folder.Path());
  // The shell starts the program and returns: wait for its work, not for a time.
  for (int attempt = 0; attempt < 600 && !wine_harness::FileExists(marker); ++attempt) Sleep(50);
  ASSERT_TRUE(wine_harness::FileExists(marker));
  std::optional<std::string> text;
  for (int attempt = 0; attempt < 600; ++attempt, Sleep(50)) {
    text = wine_harness::ReadFileBytes(marker);
    if (text && text->find("launched") != std::string::npos) break;
  }
  EXPECT_EQ(text.value_or("").rfind("launched", 0), 0u);
}

class KeyDenialUnderWine : public ::testing::Test {
 protected:
  const std::string path_ = "Software\\VeltranoDenial";
  void SetUp() override { ASSERT_TRUE(wine_harness::DeleteTree(kHkeyLocalMachine, path_)); }
  void TearDown() override { EXPECT_TRUE(wine_harness::DeleteTree(kHkeyLocalMachine, path_)); }
};

TEST_F(KeyDenialUnderWine, ADeniedKeyRefusesFullAccessUntilAllowedAgain) {
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, path_, "LastOptim", "1"));
  ASSERT_TRUE(wine_harness::DenyWriteOnKey(kHkeyLocalMachine, path_));

  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_ACCESS_DENIED);
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  {
    TRegistry store;
    store.SelectRoot(kHkeyLocalMachine);
    EXPECT_FALSE(store.OpenPath("\\" + path_, false));
    try {
      store.WriteText("LastOptim", "3");
      ADD_FAILURE() << "the write was accepted";
    } catch (const ERegistryException& error) {
      EXPECT_STREQ(error.what(), "Failed to set data for 'LastOptim'");
    }
  }
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, path_, "LastOptim"), "1");

  ASSERT_TRUE(wine_harness::AllowWriteOnKey(kHkeyLocalMachine, path_));
  TRegistry store;
  store.SelectRoot(kHkeyLocalMachine);
  ASSERT_TRUE(store.OpenPath("\\" + path_, false));
  store.WriteText("LastOptim", "3");
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, path_, "LastOptim"), "3");
}

TEST_F(KeyDenialUnderWine, AScopedDenialEndsWithItsScope) {
  {
    wine_harness::ScopedWriteDenial denial(kHkeyLocalMachine, path_ + "\\Inner");
    ASSERT_TRUE(denial.Active());
    TRegistry store;
    store.SelectRoot(kHkeyLocalMachine);
    EXPECT_FALSE(store.OpenPath("\\" + path_ + "\\Inner", true));
    EXPECT_TRUE(store.OpenPath("\\" + path_, true));
  }
  TRegistry store;
  store.SelectRoot(kHkeyLocalMachine);
  EXPECT_TRUE(store.OpenPath("\\" + path_ + "\\Inner", true));
}

TEST(HarnessUnderWine, RunsProgramsAndReportsTheirEnd) {
  const std::string cmd = wine_harness::WindowsDir() + "\\system32\\cmd.exe";
  EXPECT_EQ(wine_harness::RunProgram(cmd, "/c exit 7", 60000), 7);
  EXPECT_EQ(wine_harness::RunProgram(cmd, "/c exit 0", 60000), 0);
  EXPECT_EQ(wine_harness::RunProgram(wine_harness::BinDir() + "\\NoSuchProgram.exe", "", 60000),
            wine_harness::kRunNotStarted);
  EXPECT_EQ(platform_child::RunChild("hang", 1000), wine_harness::kRunTimedOut);
}

TEST(HarnessUnderWine, KeepsFileBytesAndRemovesItsTempFolder) {
  std::string folderPath;
  const std::string bytes("line\r\n\0\x1A\xFF end", 12);
  {
    wine_harness::TempFolder folder;
    folderPath = folder.Path();
    ASSERT_TRUE(wine_harness::WriteFileBytes(folder.File("a.bin"), bytes));
    EXPECT_EQ(wine_harness::ReadFileBytes(folder.File("a.bin")), bytes);
    CreateDirectoryA(folder.File("sub").c_str(), nullptr);
    ASSERT_TRUE(wine_harness::WriteFileBytes(folder.File("sub\\b.txt"), "b"));
    wine_harness::TempFolder second;
    EXPECT_NE(second.Path(), folderPath);
  }
  EXPECT_EQ(GetFileAttributesA(folderPath.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(wine_harness::ReadFileBytes(folderPath + "\\a.bin").has_value());
  EXPECT_TRUE(wine_harness::FileExists(wine_harness::BinDir() + "\\" + "windows_tests.exe"));
}

}  // namespace
}  // namespace veltrano
