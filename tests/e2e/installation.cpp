#include "installation.h"

#include <shlobj.h>

#include "desktop_driver.h"
#include "support/wine_harness.h"

namespace e2e {
namespace {

// The names in a folder, "." and ".." left out.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// The uninstaller leaves the user's backups, and with them the folder they are in.
bool OnlyBackupsLeft() {
  const auto left = Entries(InstallDir());
  return left.empty() || left == std::vector<std::string>{"Backup"};
}

using veltrano::kHkeyLocalMachine;

std::string FolderPath(int folder) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, folder, nullptr, 0, path);
  return path;
}

}  // namespace

bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

void DeleteIfThere(const std::string& path) {
  DeleteFileA(path.c_str());
}

}  // namespace

std::string SetupProgram() {
  return wine_harness::BinDir() + "\\VeltranoSetup-x64.exe";
}

std::string InstallDir() {
  return FolderPath(CSIDL_PROGRAM_FILES) + "\\Veltrano";
}

std::string MenuDir() {
  return FolderPath(CSIDL_COMMON_PROGRAMS) + "\\Veltrano";
}

std::string Installed(const std::string& relative) {
  return InstallDir() + "\\" + relative;
}

std::vector<std::string> BuiltProfiles() {
  std::vector<std::string> profiles;
  for (const char* set : {"VLO\\*.vlo", "VLU\\*.vlu"}) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((wine_harness::BinDir() + "\\" + set).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      profiles.push_back(std::string(set, 4) + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return profiles;
}

int InstallSilently() {
  return wine_harness::RunProgram(SetupProgram(), "/S", desktop::kPatienceMs);
}

bool WaitForRemoval() {
  return desktop::WaitFor([] {
    return !wine_harness::KeyExists(kHkeyLocalMachine, kUninstallEntry) &&
           !wine_harness::FileExists(Installed("unins000.exe"));
  });
}

bool RemoveSilently() {
  if (wine_harness::RunProgram(Installed("unins000.exe"), "/S", desktop::kPatienceMs) != 0) {
    return false;
  }
  return WaitForRemoval();
}

void RemoveFromProgramList(const std::function<void()>& atWarning, const std::string& shotPrefix) {
  desktop::Program list(wine_harness::WindowsDir() + "\\system32\\uninstaller.exe",
                        "--remove Veltrano_is1", "");
  // With the backup from before Veltrano kept, uninstall mode first offers those settings
  // in a box of its own: No keeps the Windows defaults, which the callers check.
  HWND warning = nullptr;
  desktop::WaitFor([&] {
    if (HWND offer = desktop::FindWindowNow("#32770", "Veltrano v2.11")) {
      desktop::Click(desktop::FindControl(offer, "&No"));
    }
    return (warning = desktop::FindWindowNow("TForm7", "Veltrano Uninstall Warning")) != nullptr;
  });
  ASSERT_NE(warning, nullptr) << "uninstall mode shows its warning; windows:\n"
                              << desktop::VisibleWindows();
  desktop::SaveShot(warning, shotPrefix + "-warning");
  EXPECT_NE(desktop::FindControl(warning, "Veltrano update your system with"), nullptr);
  EXPECT_NE(desktop::FindControl(warning, "WINDOWS DEFAULT SETTINGS."), nullptr);
  atWarning();
  desktop::Click(desktop::FindControl(warning, "&Ok"));

  HWND uninstaller = desktop::WaitForWindow("#32770", "Veltrano 2.11 Uninstall");
  ASSERT_NE(uninstaller, nullptr) << "the uninstaller's window follows; windows:\n"
                                  << desktop::VisibleWindows();
  HWND confirm = desktop::WaitForControl(uninstaller, "&Uninstall");
  ASSERT_NE(confirm, nullptr);
  desktop::SaveShot(uninstaller, shotPrefix + "-uninstaller");
  desktop::Click(confirm);
  HWND close = desktop::WaitForControl(uninstaller, "&Close");
  ASSERT_NE(close, nullptr) << "the uninstaller finishes";
  desktop::SaveShot(uninstaller, shotPrefix + "-uninstaller-completed");
  desktop::Click(close);
  ASSERT_TRUE(WaitForRemoval());
  EXPECT_TRUE(desktop::WaitFor(OnlyBackupsLeft));
}

void ExpectInstalledAsBuilt() {
  auto files = BuiltProfiles();
  EXPECT_EQ(files.size(), 20u);
  files.insert(files.end(), {"Veltrano.exe", "Veltrano.Chm", "VadiVazar.Exe", "Update.Exe"});
  for (const std::string& file : files) {
    EXPECT_EQ(wine_harness::ReadFileBytes(Installed(file)),
              wine_harness::ReadFileBytes(wine_harness::BinDir() + "\\" + file))
        << file;
  }
}

void ExpectNothingLeft() {
  // The backups of the user's network settings are theirs: only they may stay.
  const std::string backups = Installed("Backup");
  for (const std::string& name : Entries(backups)) {
    EXPECT_TRUE(name.rfind("backup-", 0) == 0 || name == "before-veltrano.txt") << name;
  }
  EXPECT_TRUE(OnlyBackupsLeft()) << InstallDir();
  EXPECT_FALSE(PathExists(MenuDir())) << MenuDir();
  EXPECT_FALSE(wine_harness::KeyExists(kHkeyLocalMachine, kProgramKey));
  EXPECT_FALSE(wine_harness::KeyExists(kHkeyLocalMachine, kVendorKey));
  EXPECT_FALSE(wine_harness::KeyExists(kHkeyLocalMachine, kUninstallEntry));
}

std::vector<std::string> NonPortLines(const std::string& iniName) {
  const auto text = wine_harness::ReadFileBytes(wine_harness::WindowsDir() + "\\" + iniName);
  std::vector<std::string> lines;
  for (const std::string& line : wine_harness::CrLfLines(text.value_or(""))) {
    const bool port = line.size() > 5 && line.compare(0, 3, "COM") == 0 && line[3] >= '1' &&
                      line[3] <= '5' && line.compare(4, 2, ":=") == 0;
    // The program's first port entry may bring the section header with it.
    if (!port && line != "[Ports]") lines.push_back(line);
  }
  return lines;
}

std::string PortSetting(const std::string& iniName, const char* port) {
  char value[64] = {};
  GetPrivateProfileStringA("Ports", port, "", value, sizeof value,
                           (wine_harness::WindowsDir() + "\\" + iniName).c_str());
  return value;
}

void ExpectAllPorts(const std::string& setting) {
  for (const char* ini : {"win.ini", "system.ini"}) {
    for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
      EXPECT_EQ(PortSetting(ini, port), setting) << ini << " " << port;
    }
  }
}

namespace {
constexpr char kNext[] = "&Next >";
}  // namespace

void OptimizeThroughWizard(std::initializer_list<const char*> choices, bool firstRun,
                           const std::string& shot,
                           const std::function<void(HWND)>& onOptimizePage) {
  desktop::Program veltrano(Installed("Veltrano.exe"), "", InstallDir());
  HWND main = desktop::WaitForWindow("TForm1", "Veltrano v2.11");
  EXPECT_NE(main, nullptr) << desktop::VisibleWindows();
  if (!main) return;
  if (firstRun) {
    if (HWND notice = desktop::WaitForWindow(nullptr, "ATTENTION : Please Read", 5000)) {
      desktop::SaveShot(notice, shot + "-notice");
      desktop::Click(desktop::FindControl(notice, "&OK"));
    }
  }
  HWND next = desktop::WaitForControl(main, kNext);
  EXPECT_NE(next, nullptr) << "the welcome page";
  if (!next) return;
  desktop::SaveShot(main, shot + "-welcome");
  desktop::Click(next);
  for (const char* choice : choices) {
    HWND radio = desktop::WaitForControl(main, choice);
    EXPECT_NE(radio, nullptr) << choice;
    if (!radio) return;
    desktop::Click(radio);
    desktop::Click(desktop::FindControl(main, kNext));
  }
  HWND optimize = desktop::WaitForControl(main, "Optimize");
  EXPECT_NE(optimize, nullptr);
  if (!optimize) return;
  if (onOptimizePage) onOptimizePage(main);
  desktop::Click(optimize);

  HWND run = desktop::WaitForWindow("TForm3", "Optimizing");
  EXPECT_NE(run, nullptr) << desktop::VisibleWindows();
  if (!run) return;
  HWND leave = desktop::WaitForControl(run, "Don't Restart Computer");
  EXPECT_NE(leave, nullptr) << "the animation ends";
  desktop::SaveShot(run, shot + "-optimized");
  desktop::Click(leave);
  EXPECT_EQ(veltrano.WaitForExit(), 0);
}

void Installation::SetUp() {
  Scrub();
  ASSERT_TRUE(wine_harness::FileExists(SetupProgram())) << SetupProgram() << " is not built";
}

void Installation::TearDown() {
  Scrub();
  wine_harness::SetEmulatedWindowsVersion("Veltrano.exe", "");
}

void Installation::Scrub() {
  if (wine_harness::FileExists(Installed("unins000.exe"))) RemoveSilently();
  for (const std::string& profile : BuiltProfiles()) DeleteIfThere(Installed(profile));
  for (const char* file : {"Veltrano.exe", "Veltrano.Chm", "VadiVazar.Exe", "Update.Exe",
                           "unins000.exe", "notes.txt"}) {
    DeleteIfThere(Installed(file));
  }
  RemoveDirectoryA(Installed("VLO").c_str());
  RemoveDirectoryA(Installed("VLU").c_str());
  RemoveDirectoryA(InstallDir().c_str());
  wine_harness::DeleteTree(kHkeyLocalMachine, kVendorKey);
  wine_harness::DeleteTree(kHkeyLocalMachine, kUninstallEntry);
}

}  // namespace e2e
