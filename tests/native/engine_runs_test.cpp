// The optimization run and the Windows-defaults run end to end against the in-memory
// registry and INI files, with the profiles and the work file in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/codec.h"
#include "engine/profile_files.h"
#include "engine/runs.h"
#include "native/engine_support.h"
#include "platform/errors.h"
#include "platform/memory_profile_strings.h"
#include "platform/memory_registry.h"

namespace veltrano {
namespace {

using testing::CrLfScript;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kTcp = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
const std::string kSection = "[L\\" + kTcp + "]";

class EngineRuns : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(folder_.Path() + "/win"); }

  RunEnvironment Env(const std::string& suffix = "", const std::string& software = "Software") {
    return RunEnvironment{registry_, ini_, folder_.Path() + "\\", Windows(), suffix, software};
  }
  std::string Windows() const { return folder_.Path() + "\\win"; }
  std::string WorkFile() const { return folder_.Path() + "/win/winspd.exe"; }
  bool WorkFileExists() const { return std::filesystem::exists(WorkFile()); }

  void PutProfile(const std::string& relative, const std::string& script) {
    WriteBytes(folder_.Path() + "/" + relative, TransformProfile(script));
  }
  std::optional<std::string> LastOptim(const std::string& software = "Software") const {
    const auto value =
        registry_.GetValue(kHkeyLocalMachine, software + "\\QuarnSoft\\Veltrano", "LastOptim");
    if (!value) return std::nullopt;
    return value->Text();
  }
  std::optional<std::string> Text(const std::string& path, const std::string& name) const {
    const auto value = registry_.GetValue(kHkeyLocalMachine, path, name);
    if (!value) return std::nullopt;
    return value->Text();
  }
  // Every port entry written, in the order of the calls.
  std::vector<std::string> PortCalls() const {
    std::vector<std::string> calls;
    for (const auto& call : ini_.Calls()) {
      calls.push_back(call.path + "|" + call.section + "|" + call.key + "=" + call.value);
    }
    return calls;
  }
  std::vector<std::string> ExpectedPortCalls(const std::string& setting) const {
    std::vector<std::string> calls;
    for (const char* file : {"\\win.ini", "\\system.ini"}) {
      for (const char* port : {"COM1:", "COM2:", "COM3:", "COM4:", "COM5:"}) {
        calls.push_back(Windows() + file + "|Ports|" + port + "=" + setting);
      }
    }
    return calls;
  }

  TempFolder folder_;
  MemoryRegistry registry_;
  MemoryProfileStrings ini_;
};

TEST_F(EngineRuns, OptimizationWritesPortsProfileAndLastOptim) {
  PutProfile("VLO/modem56k.vlo", CrLfScript({"REGEDIT4", kSection, "\"DefaultRcvWindow\"=\"4288\"",
                                             "(CHG)", "\"DefaultTTL\"=dword:00000080"}));
  RunOptimization(Env(), 1);

  EXPECT_EQ(PortCalls(), ExpectedPortCalls("921600,n,8,1,p"));
  EXPECT_EQ(Text(kTcp, "DefaultRcvWindow"), "4288");
  ASSERT_TRUE(registry_.GetValue(kHkeyLocalMachine, kTcp, "DefaultTTL").has_value());
  EXPECT_EQ(LastOptim(), "1");
  EXPECT_FALSE(WorkFileExists());
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

// Each type reads its own stem on each family, types 3 and 5 the same one, and the
// record names the type, spelled with the family's software key.
TEST_F(EngineRuns, EachTypeAppliesItsStemOnBothFamilies) {
  const struct {
    int type;
    const char* suffix;
    const char* software;
    const char* stem;
  } cases[] = {
      {1, "", "Software", "modem56k"},      {1, "2k", "SOFTWARE", "modem56k2k"},
      {2, "", "Software", "modem33k"},      {2, "2k", "SOFTWARE", "modem33k2k"},
      {3, "", "Software", "lanisdn"},       {3, "2k", "SOFTWARE", "lanisdn2k"},
      {4, "", "Software", "cabledslpppoe"}, {4, "2k", "SOFTWARE", "cabledslpppoe2k"},
      {5, "", "Software", "lanisdn"},       {5, "2k", "SOFTWARE", "lanisdn2k"},
      {6, "", "Software", "satellite"},     {6, "2k", "SOFTWARE", "satellite2k"},
  };
  for (const auto& c : cases) {
    const std::string stem = c.stem;
    PutProfile("VLO/" + stem + ".vlo", CrLfScript({kSection, "\"Applied\"=\"" + stem + "\""}));
  }
  for (const auto& c : cases) {
    RunOptimization(Env(c.suffix, c.software), c.type);
    EXPECT_EQ(Text(kTcp, "Applied"), c.stem) << c.type << c.suffix;
    EXPECT_EQ(LastOptim(c.software), std::to_string(c.type)) << c.type << c.suffix;
    EXPECT_FALSE(WorkFileExists());
  }
}

TEST_F(EngineRuns, EmptyScriptStillSetsPortsAndLastOptim) {
  PutProfile("VLO/satellite.vlo", "");
  PutProfile("VLU/satellite.vlu", "");
  RunOptimization(Env(), 6);
  EXPECT_EQ(LastOptim(), "6");
  EXPECT_EQ(PortCalls(), ExpectedPortCalls("921600,n,8,1,p"));

  RunWindowsDefaults(Env(), "6", false);
  EXPECT_EQ(LastOptim(), "7");
  EXPECT_EQ(ini_.Read(Windows() + "\\system.ini", "Ports", "COM5:"), "9600,n,8,1,x");
  EXPECT_EQ(registry_.Values(kHkeyLocalMachine, kTcp).size(), 0u);
  EXPECT_FALSE(WorkFileExists());
}

// A refused write stops the run: the ports and the lines before it stay, LastOptim
// keeps its old value, and the work file is left behind.
TEST_F(EngineRuns, RefusedWriteStopsTheRun) {
  const std::string script = CrLfScript({kSection, "\"Before\"=\"1\"", "[L\\Software\\Locked]",
                                         "\"Refused\"=\"2\"", kSection, "\"After\"=\"3\""});
  const struct {
    bool defaults;
    std::string ports;
  } cases[] = {{false, "921600,n,8,1,p"}, {true, "9600,n,8,1,x"}};
  for (const auto& c : cases) {
    registry_.DeleteTree(kHkeyLocalMachine, "System");
    registry_.PutText(kHkeyLocalMachine, "Software\\QuarnSoft\\Veltrano", "LastOptim", "2");
    registry_.DenyWrite(kHkeyLocalMachine, "Software\\Locked");
    ini_ = MemoryProfileStrings();
    PutProfile(c.defaults ? "VLU/modem33k.vlu" : "VLO/modem33k.vlo",
               c.defaults ? "(CHG)\r\n" + script : script);
    try {
      if (c.defaults) {
        RunWindowsDefaults(Env(), "2", true);
      } else {
        RunOptimization(Env(), 2);
      }
      ADD_FAILURE() << "the refused write went unnoticed";
    } catch (const ERegistryException& error) {
      EXPECT_STREQ(error.what(), "Failed to set data for 'Refused'");
    }
    EXPECT_EQ(PortCalls(), ExpectedPortCalls(c.ports));
    EXPECT_EQ(Text(kTcp, "Before"), "1");
    EXPECT_FALSE(Text(kTcp, "After").has_value());
    EXPECT_FALSE(Text(kTcp, "Refused").has_value());  // not in the key opened before
    EXPECT_EQ(LastOptim(), "2");
    ASSERT_TRUE(WorkFileExists());
    EXPECT_EQ(ReadBytes(WorkFile()), c.defaults ? "(CHG)\r\n" + script : script);
    EXPECT_EQ(registry_.OpenHandleCount(), 0u);
    std::filesystem::remove(WorkFile());
  }
}

TEST_F(EngineRuns, MissingProfileWritesNothing) {
  registry_.PutText(kHkeyLocalMachine, "Software\\QuarnSoft\\Veltrano", "LastOptim", "3");
  PutProfile("VLO/modem56k.vlo", CrLfScript({kSection, "\"A\"=\"1\""}));  // 9x only
  PutProfile("VLU/modem56k.vlu", CrLfScript({kSection, "\"A\"=\"1\""}));
  const struct {
    const char* what;
    bool defaults;
    int type;
    std::string lastOptim;
    const char* suffix;
  } cases[] = {
      {"optimization, other family", false, 1, "", "2k"},
      {"optimization, no file", false, 4, "", ""},
      {"optimization, type 0", false, 0, "", ""},
      {"optimization, type 8", false, 8, "", ""},
      {"defaults, no file", true, 0, "3", ""},
      {"defaults, LastOptim 0", true, 0, "0", ""},
      {"defaults, LastOptim 8", true, 0, "8", ""},
      {"defaults, LastOptim -1", true, 0, "-1", ""},
      {"defaults, other family", true, 0, "1", "2k"},
  };
  for (const auto& c : cases) {
    EXPECT_THROW(c.defaults ? RunWindowsDefaults(Env(c.suffix), c.lastOptim, true)
                            : RunOptimization(Env(c.suffix), c.type),
                 MissingProfileFile)
        << c.what;
    EXPECT_TRUE(ini_.Calls().empty()) << c.what;
    EXPECT_FALSE(registry_.KeyExists(kHkeyLocalMachine, kTcp)) << c.what;
    EXPECT_EQ(LastOptim(), "3") << c.what;
    EXPECT_FALSE(WorkFileExists()) << c.what;
  }
}

TEST_F(EngineRuns, DefaultsDeleteUntilMarkerThenWrite) {
  registry_.PutText(kHkeyLocalMachine, kTcp, "A", "optimized");
  registry_.PutText(kHkeyLocalMachine, kTcp, "B", "optimized");
  registry_.PutText(kHkeyLocalMachine, kTcp, "Other", "untouched");
  PutProfile(
      "VLU/lanisdn2k.vlu",
      CrLfScript({"REGEDIT4", kSection, "\"A\"=dword:00000001", "\"B\"=\"x\"", "\"Absent\"=-",
                  "[L\\Software\\NewKey]", "(CHG)", kSection, "\"A\"=dword:00000002"}));
  RunWindowsDefaults(Env("2k", "SOFTWARE"), "3", true);

  EXPECT_EQ(PortCalls(), ExpectedPortCalls("9600,n,8,1,x"));
  const auto a = registry_.GetValue(kHkeyLocalMachine, kTcp, "A");
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->type, kRegDword);
  EXPECT_FALSE(Text(kTcp, "B").has_value());
  EXPECT_EQ(Text(kTcp, "Other"), "untouched");
  EXPECT_TRUE(registry_.KeyExists(kHkeyLocalMachine, "Software\\NewKey"));
  EXPECT_EQ(LastOptim("SOFTWARE"), "7");
  EXPECT_FALSE(WorkFileExists());
}

TEST_F(EngineRuns, MarkerMustBeExactAndSwitchesOnce) {
  const struct {
    const char* what;
    std::vector<std::string> marker;
    bool written;  // whether "A" ends up written (true) or deleted (false)
  } cases[] = {
      {"exact", {"(CHG)"}, true},         {"twice", {"(CHG)", "(CHG)"}, true},
      {"blank after", {"(CHG) "}, false}, {"blank before", {" (CHG)"}, false},
      {"lowercase", {"(chg)"}, false},    {"none", {}, false},
  };
  for (const auto& c : cases) {
    registry_.PutText(kHkeyLocalMachine, kTcp, "A", "before");
    std::string script = kSection + "\r\n";
    for (const auto& line : c.marker) script += line + "\r\n";
    script += "\"A\"=\"after\"\r\n";
    PutProfile("VLU/modem56k.vlu", script);
    RunWindowsDefaults(Env(), "1", true);
    EXPECT_EQ(Text(kTcp, "A"), c.written ? std::optional<std::string>("after") : std::nullopt)
        << c.what;
  }
}

TEST_F(EngineRuns, OptimizationIgnoresTheMarker) {
  PutProfile("VLO/modem56k.vlo", CrLfScript({kSection, "\"A\"=\"1\"", "(CHG)", "\"B\"=\"2\""}));
  RunOptimization(Env(), 1);
  EXPECT_EQ(Text(kTcp, "A"), "1");
  EXPECT_EQ(Text(kTcp, "B"), "2");
}

// Types 3 and 5 share one defaults profile as they share one optimization profile.
TEST_F(EngineRuns, DefaultsFollowTheLastAppliedType) {
  const struct {
    std::string lastOptim;
    const char* stem;
  } cases[] = {{"1", "modem56k"}, {"2", "modem33k"},  {"3", "lanisdn"},    {"4", "cabledslpppoe"},
               {"5", "lanisdn"},  {"6", "satellite"}, {" 6", "satellite"}, {"+4", "cabledslpppoe"}};
  for (const auto& c : cases) {
    const std::string stem = c.stem;
    PutProfile("VLU/" + stem + ".vlu",
               CrLfScript({"(CHG)", kSection, "\"Undone\"=\"" + stem + "\""}));
  }
  for (const auto& c : cases) {
    RunWindowsDefaults(Env(), c.lastOptim, true);
    EXPECT_EQ(Text(kTcp, "Undone"), c.stem) << c.lastOptim;
    EXPECT_EQ(LastOptim(), "7");
  }
}

TEST_F(EngineRuns, NonIntegerLastOptimStopsBeforeAnything) {
  for (const std::string text : {"", "abc", "3x", "7.0", "99999999999"}) {
    try {
      RunWindowsDefaults(Env(), text, true);
      ADD_FAILURE() << "'" << text << "' was taken as a number";
    } catch (const EConvertError& error) {
      EXPECT_EQ(std::string(error.what()), "'" + text + "' is not a valid integer value");
    }
    EXPECT_TRUE(ini_.Calls().empty());
    EXPECT_FALSE(LastOptim().has_value());
  }
}

// With "7" there is nothing to undo: a standalone run resets the ports and the record
// without touching profiles or the work file.
TEST_F(EngineRuns, StandaloneDefaultsAfterDefaultsSkipTheProfile) {
  registry_.PutText(kHkeyLocalMachine, "Software\\QuarnSoft\\Veltrano", "LastOptim", "7");
  RunWindowsDefaults(Env(), "7", false);
  EXPECT_EQ(PortCalls(), ExpectedPortCalls("9600,n,8,1,x"));
  EXPECT_EQ(LastOptim(), "7");
  EXPECT_FALSE(WorkFileExists());

  WriteBytes(WorkFile(), "left by a stopped run");
  RunWindowsDefaults(Env(), "7", false);
  EXPECT_EQ(ReadBytes(WorkFile()), "left by a stopped run");
}

TEST_F(EngineRuns, ChainedDefaultsWithSevenFindNoWorkFile) {
  try {
    RunWindowsDefaults(Env(), "7", true);
    FAIL() << "a missing work file was deleted";
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "File not found");
  }
  EXPECT_TRUE(ini_.Calls().empty());
}

// The record of the applied type must not land in the last key of the profile when
// the program's own key is refused.
TEST_F(EngineRuns, RefusedProgramKeyFailsTheRecord) {
  registry_.DenyWrite(kHkeyLocalMachine, "Software\\QuarnSoft");
  PutProfile("VLO/modem56k.vlo", CrLfScript({kSection, "\"A\"=\"1\""}));
  const struct {
    bool defaults;
    std::string lastOptim;
  } cases[] = {{false, ""}, {true, "1"}, {true, "7"}};
  PutProfile("VLU/modem56k.vlu", CrLfScript({"(CHG)", kSection, "\"A\"=\"1\""}));
  for (const auto& c : cases) {
    try {
      if (c.defaults) {
        RunWindowsDefaults(Env(), c.lastOptim, false);
      } else {
        RunOptimization(Env(), 1);
      }
      ADD_FAILURE() << "LastOptim was written somewhere";
    } catch (const ERegistryException& error) {
      EXPECT_STREQ(error.what(), "Failed to set data for 'LastOptim'");
    }
    EXPECT_FALSE(Text(kTcp, "LastOptim").has_value());
    std::filesystem::remove(WorkFile());
  }
}

TEST_F(EngineRuns, RefusedIniWriteStopsBeforeTheRegistry) {
  ini_.MarkFolderMissing(Windows());
  PutProfile("VLO/modem56k.vlo", CrLfScript({kSection, "\"A\"=\"1\""}));
  try {
    RunOptimization(Env(), 1);
    FAIL() << "the refused INI write went unnoticed";
  } catch (const EIniFileException& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + Windows() + "\\win.ini");
  }
  EXPECT_FALSE(registry_.KeyExists(kHkeyLocalMachine, kTcp));
  EXPECT_FALSE(LastOptim().has_value());
  EXPECT_TRUE(WorkFileExists());
}

// A run that stops says why and leaves what it did undoable, never half-done as done.
TEST_F(EngineRuns, StoppedRunsAreReportedAndStayUndoable) {
  const std::string refused = "System\\Refused";
  registry_.PutText(kHkeyLocalMachine, refused, "Old", "x");
  registry_.DenyWrite(kHkeyLocalMachine, refused);
  registry_.PutText(kHkeyLocalMachine, "Software\\QuarnSoft\\Veltrano", "LastOptim", "7");
  PutProfile("VLO/modem56k.vlo",
             CrLfScript({kSection, "\"A\"=\"1\"", "[L\\" + refused + "]", "\"B\"=\"2\""}));
  PutProfile("VLU/modem56k.vlu", CrLfScript({kSection, "\"A\"=\"\"", "(CHG)"}));
  PutProfile("VLU/modem33k.vlu", CrLfScript({"[L\\" + refused + "]", "\"Old\"=\"\""}));

  // Written half-way: the type is on record, so the next chained undo removes it.
  EXPECT_THROW(RunOptimization(Env(), 1), ERegistryException);
  EXPECT_EQ(LastOptim(), "1");
  EXPECT_EQ(Text(kTcp, "A"), "1");
  RunWindowsDefaults(Env(), *LastOptim(), true);
  EXPECT_FALSE(Text(kTcp, "A").has_value());
  EXPECT_EQ(LastOptim(), "7");

  // A removal the system refuses stops the defaults run with the record unchanged.
  try {
    RunWindowsDefaults(Env(), "2", true);
    ADD_FAILURE() << "the refused removal went unnoticed";
  } catch (const ERegistryException& error) {
    EXPECT_STREQ(error.what(), "Failed to delete 'Old'");
  }
  EXPECT_EQ(LastOptim(), "7");
  EXPECT_EQ(Text(refused, "Old"), "x");

  // A work file that cannot be replaced is never applied: nothing is written at all.
  std::filesystem::remove(WorkFile());
  std::filesystem::create_directories(WorkFile());
  const std::size_t iniCalls = ini_.Calls().size();
  try {
    RunOptimization(Env(), 1);
    ADD_FAILURE() << "a work file that could not be made was applied";
  } catch (const EInOutError& error) {
    EXPECT_EQ(
        std::string(error.what()).rfind("Cannot create file " + Windows() + "\\winspd.exe", 0), 0u)
        << error.what();
  }
  EXPECT_EQ(ini_.Calls().size(), iniCalls);
  EXPECT_EQ(LastOptim(), "7");
}

}  // namespace
}  // namespace veltrano
