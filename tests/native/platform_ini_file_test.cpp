#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/ini_file.h"
#include "platform/memory_profile_strings.h"

namespace veltrano {
namespace {

TEST(IniFile, ARefusedWriteNamesTheFile) {
  MemoryProfileStrings profiles;
  profiles.MarkFolderMissing("C:\\NoSuchFolder");
  const char* paths[] = {"C:\\NoSuchFolder\\win.ini", "c:\\nosuchfolder\\SYSTEM.INI"};
  for (const char* path : paths) {
    TIniFile ini(profiles, path);
    try {
      ini.WriteEntry("Ports", "COM1:", "9600,n,8,1,x");
      ADD_FAILURE() << "accepted " << path;
    } catch (const EIniFileException& error) {
      EXPECT_EQ(std::string(error.what()), std::string("Unable to write to ") + path);
    }
  }
  EXPECT_EQ(profiles.Calls().size(), 2u);
  EXPECT_TRUE(profiles.Sections("C:\\NoSuchFolder\\win.ini").empty());
}

TEST(IniFile, WritesEachEntryAtOnceToItsOwnFile) {
  MemoryProfileStrings profiles;
  {
    TIniFile win(profiles, "C:\\WINDOWS\\win.ini");
    TIniFile system(profiles, "C:\\WINDOWS\\system.ini");
    win.WriteEntry("Ports", "COM1:", "921600,n,8,1,p");
    EXPECT_EQ(profiles.Read("C:\\WINDOWS\\win.ini", "Ports", "COM1:"), "921600,n,8,1,p");
    system.WriteEntry("Ports", "COM1:", "9600,n,8,1,x");
    EXPECT_EQ(win.FileName(), "C:\\WINDOWS\\win.ini");
  }
  EXPECT_EQ(profiles.Read("C:\\WINDOWS\\win.ini", "Ports", "COM1:"), "921600,n,8,1,p");
  EXPECT_EQ(profiles.Read("C:\\WINDOWS\\system.ini", "Ports", "COM1:"), "9600,n,8,1,x");
  EXPECT_EQ(profiles.Read("C:\\WINDOWS\\folder\\win.ini", "Ports", "COM1:"), std::nullopt);
}

TEST(MemoryProfileStrings, KeepsOrderAndReplacesWithoutRegardToCase) {
  MemoryProfileStrings profiles;
  const std::string path = "C:\\WINDOWS\\win.ini";
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } writes[] = {
      {"windows", "load", ""}, {"Ports", "COM1:", "a"}, {"Ports", "COM2:", "b"},
      {"PORTS", "com1:", "c"}, {"ports", "COM3:", ""},  {"Other", "x", "y"},
  };
  for (const auto& w : writes) ASSERT_TRUE(profiles.WriteString(w.section, w.key, w.value, path));
  EXPECT_EQ(profiles.Render("c:\\windows\\WIN.INI"),
            "[windows]\r\nload=\r\n"
            "[Ports]\r\nCOM1:=c\r\nCOM2:=b\r\nCOM3:=\r\n"
            "[Other]\r\nx=y\r\n");
  EXPECT_EQ(profiles.Read(path, "ports", "COM1:"), "c");
  ASSERT_EQ(profiles.Calls().size(), 6u);
  EXPECT_TRUE(profiles.Calls()[3].accepted);
  EXPECT_EQ(profiles.Calls()[3].key, "com1:");
}

TEST(MemoryProfileStrings, OnlyPathsInTheMissingFolderAreRefused) {
  MemoryProfileStrings profiles;
  profiles.MarkFolderMissing("C:\\Gone\\");
  const struct {
    const char* path;
    bool accepted;
  } cases[] = {
      {"C:\\Gone\\win.ini", false},
      {"C:\\GONE\\system.ini", false},
      {"C:\\Gone\\Deeper\\win.ini", false},
      {"C:\\Gonez\\win.ini", true},
      {"C:\\win.ini", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(profiles.WriteString("Ports", "COM1:", "x", c.path), c.accepted) << c.path;
  }
}

}  // namespace
}  // namespace veltrano
