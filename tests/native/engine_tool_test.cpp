// vltool's checks and plans, and the committed profile sources they guard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/codec.h"
#include "engine/profile_lint.h"
#include "engine/profile_plan.h"
#include "engine/script.h"
#include "native/engine_support.h"

namespace veltrano {
namespace {

using testing::CrLfScript;
using testing::ReadBytes;

std::vector<std::string> Lint(const std::string& script, ScriptMode mode) {
  MemoryByteSource source(script);
  std::vector<std::string> findings;
  for (const auto& f : LintScript(source, mode)) {
    findings.push_back(std::to_string(f.line) + ": " + f.message);
  }
  return findings;
}

TEST(EngineLint, FindsLinesTheProgramIgnoresOrMisreads) {
  const std::string section = "[L\\Software\\X]";
  const struct {
    const char* what;
    std::string script;
    ScriptMode mode;
    std::vector<std::string> findings;  // the start of each message, with its line
  } cases[] = {
      {"clean",
       CrLfScript({"REGEDIT4", "", "; comment", section, "\"A\"=\"x\"", "\"B\"=dword:0000FFFF",
                   "\"C\"=hex:1F", "\"\"=\"default\""}),
       ScriptMode::kWrite,
       {}},
      {"clean defaults",
       CrLfScript({"REGEDIT4", section, "\"A\"=-", "\"B\"=dword:0000000a", "(CHG)", "\"A\"=\"x\""}),
       ScriptMode::kDelete,
       {}},
      {"lowercase dword",
       CrLfScript({section, "\"A\"=dword:0000fFFa"}),
       ScriptMode::kWrite,
       {"2: lowercase hex digit 'f'", "2: lowercase hex digit 'a'"}},
      {"lowercase hex",
       CrLfScript({section, "\"A\"=hex:1f"}),
       ScriptMode::kWrite,
       {"2: lowercase hex digit 'f'"}},
      {"not a digit",
       CrLfScript({section, "\"A\"=dword:12 4"}),
       ScriptMode::kWrite,
       {"2: ' ' is not a hex digit"}},
      {"too many dword digits",
       CrLfScript({section, "\"A\"=dword:000000001"}),
       ScriptMode::kWrite,
       {"2: more than 8 digits"}},
      {"hex list",
       CrLfScript({section, "\"A\"=hex:01,00"}),
       ScriptMode::kWrite,
       {"2: hex list of more than one byte"}},
      {"open string",
       CrLfScript({section, "\"A\"=\"x"}),
       ScriptMode::kWrite,
       {"2: string value without its closing quote"}},
      {"lone opening quote",
       CrLfScript({section, "\"A\"=\""}),
       ScriptMode::kWrite,
       {"2: string value without its closing quote"}},
      {"backslash",
       CrLfScript({section, "\"A\"=\"C:\\\\W\""}),
       ScriptMode::kWrite,
       {"2: backslash in a string value"}},
      {"value before section",
       CrLfScript({"REGEDIT4", "\"A\"=\"x\"", section}),
       ScriptMode::kWrite,
       {"2: value line before the first section line"}},
      {"delete before section",
       CrLfScript({"\"A\"=-", section}),
       ScriptMode::kDelete,
       {"1: value line before the first section line"}},
      {"long line",
       CrLfScript({section, "\"A\"=\"" + std::string(260, 'v') + "\""}),
       ScriptMode::kWrite,
       {"2: longer than 255", "2: string value without its closing quote"}},
      {"marker with blank",
       CrLfScript({section, "(CHG) "}),
       ScriptMode::kDelete,
       {"2: not exactly \"(CHG)\""}},
      {"marker lowercase",
       CrLfScript({section, "(chg)"}),
       ScriptMode::kDelete,
       {"2: not exactly \"(CHG)\""}},
      {"second marker",
       CrLfScript({section, "(CHG)", "(CHG)"}),
       ScriptMode::kDelete,
       {"3: a second (CHG) changes nothing"}},
      {"marker in optimization",
       CrLfScript({section, "(CHG)"}),
       ScriptMode::kWrite,
       {"2: (CHG) has no effect in an optimization profile"}},
      {"regedit root",
       CrLfScript({"[HKEY_LOCAL_MACHINE\\Software\\X]", "\"A\"=\"x\""}),
       ScriptMode::kWrite,
       {"1: root character 'H'"}},
      {"no closing bracket",
       CrLfScript({"[L\\Software\\X", "\"A\"=\"x\""}),
       ScriptMode::kWrite,
       {"1: section line does not end with ']'"}},
      {"short section", CrLfScript({"[L]"}), ScriptMode::kWrite, {"1: section line of 3"}},
      {"unknown form",
       CrLfScript({section, "\"A\"=word:1", "\"B\"=-"}),
       ScriptMode::kWrite,
       {"2: the character after '='", "3: the character after '='"}},
      {"no equals", CrLfScript({section, "\"A\""}), ScriptMode::kWrite, {"2: no '='"}},
      {"no equals when deleting",
       CrLfScript({section, "\"A\""}),
       ScriptMode::kDelete,
       {"2: no '=': the name reads as empty"}},
      {"name not closed",
       CrLfScript({section, "\"A =\"x\""}),
       ScriptMode::kWrite,
       {"2: the name is not closed"}},
      {"wrong prefix",
       CrLfScript({section, "\"A\"=dw:01", "\"B\"=hx:1"}),
       ScriptMode::kWrite,
       {"2: value does not start with 'dword:'", "2: empty dword value",
        "3: value does not start with 'hex:'", "3: empty hex value"}},
      {"ignored lines",
       CrLfScript({"REGEDIT4", section, "@=\"x\"", " \"A\"=\"x\"", "REGEDIT4"}),
       ScriptMode::kWrite,
       {"3: ignored", "4: ignored", "5: ignored"}},
      {"unix line ends",
       "REGEDIT4\n[L\\Software\\X]\n\"A\"=\"x\"\n",
       ScriptMode::kWrite,
       {"1: contains a line feed", "1: ignored"}},
  };
  for (const auto& c : cases) {
    const auto findings = Lint(c.script, c.mode);
    ASSERT_EQ(findings.size(), c.findings.size())
        << c.what << ": " << ::testing::PrintToString(findings);
    for (std::size_t i = 0; i < findings.size(); ++i) {
      EXPECT_EQ(findings[i].rfind(c.findings[i], 0), 0u) << c.what << ": " << findings[i];
    }
  }
}

TEST(EnginePlan, ListsTheOperationsInOrder) {
  const struct {
    const char* what;
    std::string script;
    ScriptMode mode;
    std::vector<std::string> steps;
    std::string error;
  } cases[] = {
      {"writes",
       CrLfScript({"[L\\Software\\X]", "\"S\"=\"4288\"", "\"D\"=dword:000010C0", "\"B\"=hex:01,1F",
                   "[LSub]", "\"\"=\"x\"", "[U\\.Default\\Y]", "\"W\"=word:1"}),
       ScriptMode::kWrite,
       {"open   HKEY_LOCAL_MACHINE\\Software\\X", "write  \"S\" REG_SZ \"4288\"",
        "write  \"D\" REG_DWORD 0x000010C0 (4288)", "write  \"B\" REG_BINARY 1F",
        "open   HKEY_LOCAL_MACHINE\\Software\\X\\Sub", "write  \"\" REG_SZ \"x\"",
        "open   HKEY_USERS\\.Default\\Y"},
       ""},
      {"deletes then writes",
       CrLfScript({"[L\\Software\\X]", "\"A\"=-", "\"B\"=\"x\"", "(CHG)", "\"A\"=dword:00000001"}),
       ScriptMode::kDelete,
       {"open   HKEY_LOCAL_MACHINE\\Software\\X", "delete \"A\"", "delete \"B\"",
        "write  \"A\" REG_DWORD 0x00000001 (1)"},
       ""},
      {"stops at a write with no key",
       CrLfScript({"REGEDIT4", "\"A\"=\"x\"", "[L\\Software\\X]", "\"B\"=\"y\""}),
       ScriptMode::kWrite,
       {},
       "Failed to set data for 'A'"},
  };
  for (const auto& c : cases) {
    MemoryByteSource source(c.script);
    const ProfilePlan plan = PlanScript(source, c.mode);
    EXPECT_EQ(plan.steps, c.steps) << c.what;
    EXPECT_EQ(plan.error, c.error) << c.what;
  }
}

// --- The committed profile sources ---

std::string SourceDir() {
  if (const char* dir = std::getenv("VELTRANO_SOURCE_DIR")) return dir;
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

struct ProfileName {
  std::string stem;
  std::string suffix;
  std::string File(const char* set) const {
    return SourceDir() + "/profiles/" + set + "/" + stem + suffix + ".reg";
  }
};

std::vector<ProfileName> AllProfiles() {
  std::vector<ProfileName> names;
  for (const char* stem : {"modem56k", "modem33k", "lanisdn", "cabledslpppoe", "satellite"}) {
    for (const char* suffix : {"", "2k"}) names.push_back({stem, suffix});
  }
  return names;
}

// The values each open key receives (or loses), by "key|name".
std::map<std::string, std::string> Effects(const std::string& script, ScriptMode mode,
                                           const char* verb) {
  MemoryByteSource source(script);
  const ProfilePlan plan = PlanScript(source, mode);
  EXPECT_EQ(plan.error, "");
  std::map<std::string, std::string> effects;
  std::string key;
  for (const auto& step : plan.steps) {
    if (step.rfind("open   ", 0) == 0) key = step.substr(7);
    if (step.rfind(verb, 0) != 0) continue;
    const auto nameEnd = step.find('"', 8);
    effects[key + "|" + step.substr(8, nameEnd - 8)] =
        step.substr(std::min(nameEnd + 2, step.size()));
  }
  return effects;
}

TEST(EngineProfiles, SourcesLintCleanAndPairUp) {
  for (const auto& profile : AllProfiles()) {
    const std::string optimization = ReadBytes(profile.File("vlo"));
    const std::string defaults = ReadBytes(profile.File("vlu"));
    ASSERT_FALSE(optimization.empty()) << profile.File("vlo");
    ASSERT_FALSE(defaults.empty()) << profile.File("vlu");
    EXPECT_EQ(Lint(optimization, ScriptMode::kWrite), std::vector<std::string>())
        << profile.File("vlo");
    EXPECT_EQ(Lint(defaults, ScriptMode::kDelete), std::vector<std::string>())
        << profile.File("vlu");

    const auto written = Effects(optimization, ScriptMode::kWrite, "write ");
    const auto deleted = Effects(defaults, ScriptMode::kDelete, "delete ");
    ASSERT_FALSE(written.empty()) << profile.stem << profile.suffix;
    for (const auto& [value, data] : written) {
      EXPECT_EQ(deleted.count(value), 1u) << profile.stem << profile.suffix << " keeps " << value;
      // The 9x family stores TCP/IP settings as text, the NT family as numbers.
      const bool tcpip = value.find("Tcpip") != std::string::npos;
      const bool mstcp = value.find("MSTCP|") != std::string::npos;
      if (tcpip) {
        EXPECT_EQ(data.rfind("REG_DWORD", 0), 0u) << value;
      }
      if (mstcp) {
        EXPECT_EQ(data.rfind("REG_SZ", 0), 0u) << value;
      }
      EXPECT_EQ(profile.suffix == "2k", tcpip) << value;
    }
    for (const auto& [value, data] : deleted) {
      EXPECT_EQ(written.count(value), 1u) << profile.stem << profile.suffix << " deletes " << value;
    }
  }
}

// The built VLO and VLU files are exactly the sources, scrambled. They are built next
// to this test program.
TEST(EngineProfiles, BuiltFilesDescrambleToTheirSources) {
  std::error_code error;
  const auto bin = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  if (error || !std::filesystem::exists(bin / "VLO")) {
    GTEST_SKIP() << "the profiles target has not been built next to the tests";
  }
  for (const auto& profile : AllProfiles()) {
    for (const char* set : {"vlo", "vlu"}) {
      std::string folder = set;
      for (char& c : folder) c = static_cast<char>(c - 'a' + 'A');
      const auto built = bin / folder / (profile.stem + profile.suffix + "." + set);
      EXPECT_EQ(TransformProfile(ReadBytes(built.string())), ReadBytes(profile.File(set))) << built;
    }
  }
}

}  // namespace
}  // namespace veltrano
