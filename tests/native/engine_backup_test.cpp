// Backups: every kind of value read back byte for byte, damaged or cut files refused by
// line, a plan's capture put back over a changed registry, and which files are kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/backup.h"
#include "engine/change_plan.h"
#include "engine/restore_points.h"
#include "native/engine_support.h"
#include "platform/files.h"
#include "platform/memory_profile_strings.h"
#include "platform/memory_registry.h"

namespace veltrano {
namespace {

const std::string kKey = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

SavedValue Saved(const std::string& name, std::uint32_t type, const std::string& data) {
  return SavedValue{{kHkeyLocalMachine, kKey, name}, true, type, data};
}

TEST(EngineBackup, EveryKindReadsBackExactly) {
  using namespace std::string_literals;
  SettingsBackup backup{"2026-12-08 13:20:05", "an optimization", {}, {}, {}, {}};
  backup.values = {
      Saved("Plain", kRegSz, "4288\0"s),
      Saved("Tab\tand \x01 in a name", kRegSz, "x\ty\0"s),
      Saved("Quote \"and\" \\slash", kRegSz, "C:\\x \"y\"\0"s),
      Saved("No closing zero", kRegSz, "abc"),
      Saved("Line break", kRegSz, "a\r\nb\0"s),
      Saved("Empty", kRegSz, ""),
      Saved("Expanded", kRegExpandSz, "%SystemRoot%\\x\0"s),
      Saved("Multi", 7, "one\0two\0\0"s),
      Saved("Number", kRegDword, "\xdc\x05\0\0"s),
      Saved("Short number", kRegDword, "\x01\x02"s),
      Saved("Bytes", kRegBinary, "\x00\xff\x10\x7f"s),
      Saved("High bytes", kRegSz, "\xe9t\xe9\0"s),
      SavedValue{{kHkeyUsers, ".Default\\X", ""}, false, kRegNone, ""},
  };
  backup.iniLines = {{"C:\\WINDOWS\\win.ini", "Ports", "COM1:", true, "9600,n,8,1,x"},
                     {"C:\\WINDOWS\\win.ini", "Ports", "COM2:", false, ""},
                     {"C:\\WINDOWS\\system.ini", "Ports", "COM3:", true, "a\tb \x7f\\x"}};
  const SettingsBackup read = ParseBackup(FormatBackup(backup));
  EXPECT_EQ(read.taken, backup.taken);
  EXPECT_EQ(read.before, backup.before);
  ASSERT_EQ(read.values.size(), backup.values.size());
  for (std::size_t i = 0; i < read.values.size(); ++i) {
    EXPECT_TRUE(read.values[i] == backup.values[i]) << backup.values[i].target.name;
  }
  EXPECT_TRUE(read.iniLines == backup.iniLines);
  EXPECT_NE(FormatBackup(backup).find("\"Number\"=dword:000005dc"), std::string::npos);
}

TEST(EngineBackup, DamagedFileIsRefusedWithItsLine) {
  const std::string head = "Veltrano settings backup\r\nTaken=x\r\n";
  const std::string whole = head + "[HKEY_USERS\\K]\r\n\"A\"=\"1\"\r\n\"B\"=-\r\n";
  const struct {
    std::string text;
    int line;
  } cases[] = {
      {"", 1},
      {"REGEDIT4\r\n", 1},
      {head + "\"A\"=\"1\"\r\n", 3},
      {head + "[HKEY_LOCAL_MACHINE\\K]\r\n\"A\"=hex:0g\r\n", 4},
      {head + "[HKEY_NOWHERE\\K]\r\n", 3},
      {head + "[HKEY_USERS\\K]\r\n\r\n\"A\"\r\n", 5},
      {head + "[INI C:\\win.ini]\r\n", 3},
      {head + "\"A\"=\"\\x4\"\r\n", 3},
      {whole, 5},                           // cut short at a line boundary
      {whole + "End=1\r\n", 6},             // cut, with an end line that says so
      {whole + "End=2\r\n\"C\"=-\r\n", 7},  // text after the end
  };
  for (const auto& c : cases) {
    try {
      ParseBackup(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const EBackupDamaged& error) {
      const std::string expected = "damaged at line " + std::to_string(c.line) + ":";
      EXPECT_NE(std::string(error.what()).find(expected), std::string::npos)
          << error.what() << " for " << c.text;
    }
  }
}

TEST(EngineBackup, RestorePutsBackWhatThePlanCapturedAndRemovesWhatWasNot) {
  MemoryRegistry registry;
  MemoryProfileStrings ini;
  registry.PutText(kHkeyLocalMachine, kKey, "Kept", "mine");
  registry.PutValue(kHkeyLocalMachine, kKey, "Bytes", kRegBinary, {1, 2, 3, 4});
  ini.WriteString("Ports", "COM1:", "57600,n,8,1", "C:\\W\\win.ini");
  const Change change = [](RegistryApi& api, ProfileStringApi& strings) {
    RegKey key = 0;
    api.CreateKey(kHkeyLocalMachine, kKey, kKeyAllAccess, &key);
    const std::uint8_t seven[] = {7, 0, 0, 0};
    api.SetValue(key, "Kept", kRegSz, reinterpret_cast<const std::uint8_t*>("changed"), 8);
    api.SetValue(key, "Bytes", kRegDword, seven, 4);
    api.SetValue(key, "kept", kRegSz, reinterpret_cast<const std::uint8_t*>("again"), 6);
    api.SetValue(key, "New", kRegSz, reinterpret_cast<const std::uint8_t*>("added"), 6);
    api.CloseKey(key);
    strings.WriteString("Ports", "COM1:", "921600,n,8,1,p", "C:\\W\\win.ini");
    strings.DeleteString("Ports", "COM2:", "C:\\W\\system.ini");
  };
  const ChangePlan plan = PlanChange(registry, ini, change);
  EXPECT_EQ(plan.valuesNow.size(), 3u) << "each value once, whatever its case";
  EXPECT_EQ(plan.linesNow.size(), 2u);
  EXPECT_EQ(plan.rows.size(), 4u) << "a removal of a line that is not there changes nothing";
  EXPECT_EQ(registry.GetValue(kHkeyLocalMachine, kKey, "Kept")->Text(), "mine") << "planned only";
  const SettingsBackup backup = BackupFromPlan(plan, "a test");

  change(registry, ini);
  RestoreSettings(ParseBackup(FormatBackup(backup)), registry, ini);

  EXPECT_EQ(registry.GetValue(kHkeyLocalMachine, kKey, "Kept")->Text(), "mine");
  const auto bytes = registry.GetValue(kHkeyLocalMachine, kKey, "Bytes");
  EXPECT_EQ(bytes->type, kRegBinary);
  EXPECT_EQ(bytes->data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
  EXPECT_FALSE(registry.GetValue(kHkeyLocalMachine, kKey, "New").has_value());
  EXPECT_EQ(ini.Read("C:\\W\\win.ini", "Ports", "COM1:"), "57600,n,8,1");
}

TEST(EngineBackup, KeepsTheFirstAndTheLastTen) {
  testing::TempFolder folder;
  const std::string programDir = folder.Path() + "\\";
  SettingsBackup backup{"t", "b", {Saved("Touched first", kRegSz, "a")}, {}, {}, {}};
  SaveBackup(programDir, backup);
  backup.values = {Saved("Touched first", kRegSz, "b"), Saved("Touched later", kRegSz, "c")};
  for (int i = 1; i < 13; ++i) SaveBackup(programDir, backup);
  // Copies and leftovers are no backups, whatever their names start with.
  for (const char* stray :
       {"backup-0000-20261208-132005.txt", "backup-0001-x.txt",
        "backup-0099-20261208-132005 - Copy.txt", "backup-0099-20261208-132005.txt.new"}) {
    testing::WriteBytes(folder.Path() + "/Backup/" + stray, "x");
  }
  const std::vector<std::string> kept = BackupFiles(programDir);
  ASSERT_EQ(kept.size(), 10u);
  EXPECT_NE(kept[0].find("backup-0004-"), std::string::npos);
  EXPECT_NE(kept[9].find("backup-0013-"), std::string::npos);
  // The first keeps its own data and takes in what only later changes touched.
  const auto first = ReadBackupFile(FirstBackupPath(programDir)).values;
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].data + first[1].data, "ac");

  // A planted number too high to follow is no reason to hide the next backup.
  testing::WriteBytes(folder.Path() + "/Backup/backup-999999999-20261208-132005.txt", "x");
  EXPECT_EQ(BackupNumberOf(SaveBackup(programDir, backup)), 14u);

  // A first backup damaged, unreadable or too large takes in nothing: no change starts.
  const std::string firstPath = folder.Path() + "/Backup/before-veltrano.txt";
  backup.values.push_back(Saved("Touched last", kRegSz, "d"));
  const std::string firsts[] = {"Veltrano settings backup\r\n", "",
                                std::string(kLargestBackupFile + 1, ';')};
  for (const std::string& bytes : firsts) {  // "": a folder in its place
    std::filesystem::remove_all(firstPath);
    if (bytes.empty()) std::filesystem::create_directory(firstPath);
    if (!bytes.empty()) testing::WriteBytes(firstPath, bytes);
    EXPECT_THROW(SaveBackup(programDir, backup), EBackupDamaged) << bytes.size();
  }
  EXPECT_EQ(BackupFiles(programDir).size(), 10u);

  // A Backup that is a file: nothing can be saved, and the change is not to start.
  testing::TempFolder blocked;
  testing::WriteBytes(blocked.Path() + "/Backup", "x");
  EXPECT_THROW(SaveBackup(blocked.Path() + "\\", backup), EInOutError);
}

TEST(EngineBackup, PointTakesEachTargetFromTheOldestBackupAtOrAfterItAndStaysConfined) {
  testing::TempFolder folder;
  const std::string programDir = folder.Path() + "\\";
  const auto save = [&](std::vector<SavedValue> values, std::vector<SavedIniLine> lines) {
    return SaveBackup(programDir, {"t", "b", std::move(values), std::move(lines), {}, {}});
  };
  const SavedIniLine com1{"C:\\W\\win.ini", "Ports", "COM1:", true, "mine"};
  save({Saved("A", kRegSz, "1")}, {com1});
  const std::string second = save({Saved("A", kRegSz, "2"), Saved("B", kRegSz, "2")}, {});
  save({Saved("B", kRegSz, "3"), Saved("C", kRegSz, "3")}, {});
  const SettingsBackup point = ComposeRestorePoint(BackupsOfRestorePoint(programDir, second));
  ASSERT_EQ(point.values.size(), 3u);
  EXPECT_EQ(point.values[0].data + point.values[1].data + point.values[2].data, "223");
  EXPECT_TRUE(point.iniLines.empty()) << "the first change's line is not the second's";

  // The first backup's fresh copy, left by a replacement cut short, still counts.
  const std::string first = FirstBackupPath(programDir);
  std::filesystem::rename(NativePath(first), NativePath(first + ".new"));
  RestorePointList list = ListRestorePoints(programDir);
  ASSERT_EQ(list.points.size(), 4u);
  EXPECT_EQ(list.firstProblem, "");
  EXPECT_TRUE(list.points.back().first);
  EXPECT_EQ(ReadBackupFile(list.points.back().path).values.size(), 3u);

  // A backup removed by hand: the points before it know, the later ones are whole. A
  // point is found by its file, whatever the path's spelling.
  std::filesystem::remove(NativePath(second));
  list = ListRestorePoints(programDir);
  ASSERT_EQ(list.points.size(), 3u);
  EXPECT_EQ(IncompleteText(list.points[0]), "");
  EXPECT_EQ(IncompleteText(list.points[1]), "(incomplete: backup 2 is missing)");
  const std::string oldest = list.points[1].path;
  const std::string spelt =
      folder.Path() + "/Backup/../Backup/" + oldest.substr(LastSeparator(oldest) + 1);
  EXPECT_EQ(RestorePointOf(programDir, spelt).missing, 2u);
  EXPECT_EQ(BackupsOfRestorePoint(programDir, spelt).size(), 2u);

  RestoreTargets allowed("c:\\w");
  for (const char* name : {"a", "B", "c"}) allowed.Add({kHkeyLocalMachine, kKey, name});
  const auto foreignOf = [&](SettingsBackup backup) {
    return allowed.FirstRefused({"f.txt", ParseBackup(FormatBackup(backup))});
  };
  EXPECT_EQ(foreignOf(point), "");
  EXPECT_EQ(foreignOf({"t", "b", {}, {com1}, {}, {}}), "");
  allowed.Add({kHkeyLocalMachine, kKey, "bad\\name"});
  const struct {
    SavedValue value;
    SavedIniLine line;
    const char* named;
  } foreign[] = {
      {Saved("D", kRegSz, "x"), {}, "MSTCP \"D\" at line 6"},
      {{{kHkeyCurrentUser, kKey, "A"}, true, kRegSz, "x"}, {}, "HKEY_CURRENT_USER"},
      {{{kHkeyLocalMachine, "System", kKey.substr(7) + "\\A"}, true, kRegSz, "x"},
       {},
       "System \"CurrentControlSet"},
      {Saved("bad\\name", kRegSz, "x"), {}, "never changes"},
      {Saved("A", 0xffffffff, "x"), {}, "type 0xffffffff, which Veltrano never restores"},
      {Saved("A", kRegDword, "xy"), {}, "a dword that is not four bytes long at line 6"},
      {Saved("A", kRegBinary, std::string(16385, 'x')), {}, "16385 bytes, more than 16384"},
      {{}, {"C:\\W\\system.ini", "boot", "shell", true, "x"}, "[boot] shell at line 6"},
      {{}, {"C:\\Other\\win.ini", "Ports", "COM1:", true, "x"}, "C:\\Other\\win.ini"},
      {{}, {"C:\\W\\win.ini", "Ports", "COM6:", true, "x"}, "COM6:"},
      {{}, {"C:\\W\\win.ini", "Ports", "COM1:\n", true, "x"}, "COM1:"},
      {{}, {"C:\\W\\win.ini", "Ports", "COM1:", true, "9\r\n[windows]\r\nrun=x"}, "byte 0x0d"},
      {{}, {"C:\\W\\win.ini", "Ports", "COM1:", true, std::string(1025, 'x')}, "than 1024"},
  };
  for (const auto& c : foreign) {
    SettingsBackup backup{"t", "b", {}, {}, {}, {}};
    if (!c.value.target.name.empty()) backup.values.push_back(c.value);
    if (!c.line.key.empty()) backup.iniLines.push_back(c.line);
    EXPECT_NE(foreignOf(backup).find(c.named), std::string::npos) << foreignOf(backup);
  }
}

// A value or an INI file that is there but refuses to be read is never taken for an
// absent one, and a plan that stops part-way lets the change write nothing.
TEST(EngineBackup, UnreadableValueStopsThePlan) {
  class Refusing : public MemoryRegistry {
    long QueryValue(RegKey, const std::string&, std::uint32_t*, std::uint8_t*,
                    std::uint32_t*) override {
      return kErrorAccessDenied;
    }
  } registry;
  class RefusingIni : public MemoryProfileStrings {
    std::optional<std::string> ReadString(const std::string&, const std::string&,
                                          const std::string& path) override {
      throw EIniFileException("Cannot read " + path + ": Permission denied");
    }
  } lockedIni;
  MemoryProfileStrings ini;
  registry.PutText(kHkeyLocalMachine, kKey, "Kept", "mine");
  EXPECT_THROW(PlanChange(registry, ini,
                          [](RegistryApi& api, ProfileStringApi&) {
                            RegKey key = 0;
                            api.OpenKey(kHkeyLocalMachine, kKey, kKeyAllAccess, &key);
                            api.DeleteValue(key, "Kept");
                          }),
               EBackupUnreadable);
  const Change writeLine = [](RegistryApi&, ProfileStringApi& strings) {
    strings.WriteString("Ports", "COM1:", "x", "C:\\W\\win.ini");
  };
  EXPECT_THROW(PlanChange(registry, lockedIni, writeLine), EBackupUnreadable);
  testing::TempFolder folder;
  const Change stopping = [&](RegistryApi& api, ProfileStringApi& strings) {
    writeLine(api, strings);
    throw EConvertError("'x' is not a valid integer value");
  };
  EXPECT_THROW(BackUpAndApply(registry, ini, folder.Path() + "\\", "t", stopping), EConvertError);
  EXPECT_EQ(ini.Read("C:\\W\\win.ini", "Ports", "COM1:"), std::nullopt) << "nothing written";
}

}  // namespace
}  // namespace veltrano
