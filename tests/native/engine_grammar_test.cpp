// The script grammar: key paths, value lines, hex numbers, and what one line does to
// the registry in either mode.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/apply.h"
#include "engine/script.h"
#include "native/engine_support.h"
#include "platform/errors.h"
#include "platform/memory_registry.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

using testing::Bytes;
using testing::NumberBytes;
using testing::TextBytes;

TEST(EngineGrammar, KeyPathDropsBracketRootAndLastCharacter) {
  const struct {
    std::string line;
    std::string path;
  } cases[] = {
      {"[L\\Software\\X]", "\\Software\\X"},
      {"[U\\.Default\\X]", "\\.Default\\X"},
      {"[LRelative]", "Relative"},
      {"[L\\Software\\X", "\\Software\\"},  // the last character goes, bracket or not
      {"[L\\]", "\\"},
      {"[L]", ""},
      {"[]", ""},
      {"[", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyPathOf(c.line), c.path) << c.line;
}

TEST(EngineGrammar, SplitValueLineByCharacterAfterEquals) {
  const struct {
    std::string line;
    std::string name;
    std::string value;
    ValueKind kind;
  } cases[] = {
      {"\"A\"=\"text\"", "A", "text", ValueKind::kString},
      {"\"\"=\"x\"", "", "x", ValueKind::kString},
      {"\"A\"=\"\"", "A", "", ValueKind::kString},
      {"\"A\"=\"xy", "A", "x", ValueKind::kString},  // no closing quote: last character lost
      {"\"A\"=\"", "A", "", ValueKind::kString},
      {"\"P\"=\"C:\\\\W \"q\"\"", "P", "C:\\\\W \"q\"", ValueKind::kString},  // no escapes
      {"\"A\"=dword:0000FFFF", "A", "0000FFFF", ValueKind::kDword},
      {"\"A\"=dxxxxx12", "A", "12", ValueKind::kDword},  // six characters skipped unread
      {"\"A\"=d", "A", "", ValueKind::kDword},
      {"\"A\"=hex:1F", "A", "1F", ValueKind::kBinary},
      {"\"A\"=hex:01,00", "A", "01,00", ValueKind::kBinary},
      {"\"A\"=word:1", "A", "", ValueKind::kNone},
      {"\"A\"=-", "A", "", ValueKind::kNone},
      {"\"A\"=", "A", "", ValueKind::kNone},
      {"\"A\"", "", "", ValueKind::kNone},
      {"\"A=B\"=\"x\"", "", "", ValueKind::kNone},  // the first "=" splits the line
      {"\"Long Name\"=\"v\"", "Long Name", "v", ValueKind::kString},
      {"X=\"v\"", "", "v", ValueKind::kString},  // p = 2: empty name
  };
  for (const auto& c : cases) {
    const ValueLine split = SplitValueLine(c.line);
    EXPECT_EQ(split.name, c.name) << c.line;
    EXPECT_EQ(split.value, c.value) << c.line;
    EXPECT_EQ(split.kind, c.kind) << c.line;
  }
}

TEST(EngineGrammar, HexToNumberReadsUppercaseOnlyAndWraps) {
  const struct {
    std::string text;
    std::uint64_t number;
  } cases[] = {
      {"", 0},
      {"0", 0},
      {"9", 9},
      {"F", 15},
      {"0000FFFF", 65535},
      {"0000000a", 49},  // lowercase is no hex digit: 'a' - 48
      {"10", 16},
      {"G", 23},
      {" ", 240},     // (32 - 48) mod 256
      {"\xFF", 207},  // codes are taken as bytes 0..255
      {"FFFFFFFFFFFFFFFF", 0xFFFFFFFFFFFFFFFFull},
      {"10000000000000000", 0},  // 16^16 wraps to 0
      {"123456789ABCDEF01", 0x23456789ABCDEF01ull},
  };
  for (const auto& c : cases) EXPECT_EQ(HexToNumber(c.text), c.number) << c.text;
}

TEST(EngineGrammar, PowerOf16WrapsAt64Bits) {
  const struct {
    unsigned exponent;
    std::uint64_t power;
  } cases[] = {{0, 1}, {1, 16}, {2, 256}, {8, 0x100000000ull}, {15, 1ull << 60}, {16, 0}, {40, 0}};
  for (const auto& c : cases) EXPECT_EQ(PowerOf16(c.exponent), c.power) << c.exponent;
}

// One expected value after applying some lines in write mode; no type means the key
// must hold no value at all.
struct LineCase {
  const char* what;
  std::vector<std::string> lines;
  RegKey root;
  std::string path;
  std::string name;
  std::optional<std::uint32_t> type;
  std::vector<std::uint8_t> data;
};

class EngineApplyLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(EngineApplyLine, WritesWhatTheLineSays) {
  const LineCase& c = GetParam();
  MemoryRegistry memory;
  {
    TRegistry registry(memory);
    ScriptMode mode = ScriptMode::kWrite;
    for (const auto& line : c.lines) ApplyLine(registry, line, mode);
  }
  ASSERT_TRUE(memory.KeyExists(c.root, c.path)) << c.path;
  if (!c.type) {
    EXPECT_TRUE(memory.Values(c.root, c.path).empty());
    return;
  }
  const auto value = memory.GetValue(c.root, c.path, c.name);
  ASSERT_TRUE(value.has_value()) << c.name;
  EXPECT_EQ(value->type, *c.type);
  EXPECT_EQ(value->data, c.data);
  EXPECT_EQ(memory.Values(c.root, c.path).size(), 1u);
  EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

const std::string kSection = "[L\\Software\\X]";

INSTANTIATE_TEST_SUITE_P(
    Lines, EngineApplyLine,
    ::testing::Values(LineCase{"local machine",
                               {kSection, "\"A\"=\"v\""},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegSz,
                               TextBytes("v")},
                      LineCase{"users",
                               {"[U\\.Default\\X]", "\"A\"=\"v\""},
                               kHkeyUsers,
                               ".Default\\X",
                               "A",
                               kRegSz,
                               TextBytes("v")},
                      LineCase{"lowercase l is users",
                               {"[l\\X]", "\"A\"=\"v\""},
                               kHkeyUsers,
                               "X",
                               "A",
                               kRegSz,
                               TextBytes("v")},
                      LineCase{"three characters open the root",
                               {"[L]", "\"A\"=\"v\""},
                               kHkeyLocalMachine,
                               "",
                               "A",
                               kRegSz,
                               TextBytes("v")},
                      LineCase{"relative under the open key",
                               {kSection, "[LY]", "\"A\"=\"v\""},
                               kHkeyLocalMachine,
                               "Software\\X\\Y",
                               "A",
                               kRegSz,
                               TextBytes("v")},
                      LineCase{"root change makes relative paths start at the root",
                               {kSection, "[UY]", "\"A\"=\"v\""},
                               kHkeyUsers,
                               "Y",
                               "A",
                               kRegSz,
                               TextBytes("v")},
                      LineCase{"default value",
                               {kSection, "\"\"=\"x\""},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "",
                               kRegSz,
                               TextBytes("x")},
                      LineCase{"empty string",
                               {kSection, "\"A\"=\"\""},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegSz,
                               TextBytes("")},
                      LineCase{"missing closing quote",
                               {kSection, "\"A\"=\"abc"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegSz,
                               TextBytes("ab")},
                      LineCase{"backslashes unchanged",
                               {kSection, "\"A\"=\"C:\\\\W\""},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegSz,
                               TextBytes("C:\\\\W")},
                      LineCase{"dword",
                               {kSection, "\"A\"=dword:0000FFFF"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegDword,
                               NumberBytes(65535)},
                      LineCase{"dword lowercase",
                               {kSection, "\"A\"=dword:0000000a"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegDword,
                               NumberBytes(49)},
                      LineCase{"dword keeps the low 32 bits",
                               {kSection, "\"A\"=dword:100000002"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegDword,
                               NumberBytes(2)},
                      LineCase{"hex byte",
                               {kSection, "\"A\"=hex:1F"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegBinary,
                               Bytes({0x1F})},
                      LineCase{"hex list keeps one byte",
                               {kSection, "\"A\"=hex:01,00"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegBinary,
                               Bytes({0x00})},
                      LineCase{"hex keeps the low byte",
                               {kSection, "\"A\"=hex:1FF"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegBinary,
                               Bytes({0xFF})},
                      LineCase{"later write replaces",
                               {kSection, "\"A\"=\"1\"", "\"a\"=dword:00000002"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               kRegDword,
                               NumberBytes(2)},
                      LineCase{"word form writes nothing",
                               {kSection, "\"A\"=word:1"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               std::nullopt,
                               {}},
                      LineCase{"no equals writes nothing",
                               {kSection, "\"A\""},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               std::nullopt,
                               {}},
                      LineCase{"regedit deletion writes nothing",
                               {kSection, "\"A\"=-"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               std::nullopt,
                               {}},
                      LineCase{"other lines are ignored",
                               {kSection, "@=\"x\"", " \"A\"=\"x\"", "; \"A\"=\"x\"", "REGEDIT4",
                                "(CHG)"},
                               kHkeyLocalMachine,
                               "Software\\X",
                               "A",
                               std::nullopt,
                               {}}),
    [](const ::testing::TestParamInfo<LineCase>& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) {
        name += (std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_');
      }
      return name;
    });

TEST(EngineGrammar, ValueLineBeforeAnySectionIsRefused) {
  MemoryRegistry memory;
  TRegistry registry(memory);
  ScriptMode mode = ScriptMode::kWrite;
  try {
    ApplyLine(registry, "\"Early\"=\"x\"", mode);
    FAIL() << "the write had no key to go to";
  } catch (const ERegistryException& error) {
    EXPECT_STREQ(error.what(), "Failed to set data for 'Early'");
  }
}

// A section whose key is refused must not leave the previous key open: the value lines
// meant for the refused key would otherwise land in the wrong place.
TEST(EngineGrammar, RefusedSectionLeavesNoKeyOpen) {
  const struct {
    RegKey deniedRoot;
    std::string deniedPath;
    std::string section;
  } cases[] = {
      {kHkeyLocalMachine, "Software\\Locked", "[L\\Software\\Locked]"},
      {kHkeyLocalMachine, "Software\\Locked", "[L\\Software\\Locked\\Sub]"},
      {kHkeyUsers, ".Default\\Locked", "[U\\.Default\\Locked]"},
  };
  for (const auto& c : cases) {
    MemoryRegistry memory;
    memory.PutText(c.deniedRoot, c.deniedPath, "Kept", "old");
    memory.DenyWrite(c.deniedRoot, c.deniedPath);
    TRegistry registry(memory);
    ScriptMode mode = ScriptMode::kWrite;
    ApplyLine(registry, "[L\\Software\\Open]", mode);
    ApplyLine(registry, "[U\\.Default\\Open]", mode);
    ApplyLine(registry, "[L\\Software\\Open]", mode);
    ApplyLine(registry, c.section, mode);
    EXPECT_FALSE(registry.HasCurrentKey()) << c.section;
    try {
      ApplyLine(registry, "\"A\"=\"x\"", mode);
      ADD_FAILURE() << "the write after " << c.section << " found a key";
    } catch (const ERegistryException& error) {
      EXPECT_STREQ(error.what(), "Failed to set data for 'A'");
    }
    EXPECT_TRUE(memory.Values(kHkeyLocalMachine, "Software\\Open").empty());
    EXPECT_TRUE(memory.Values(kHkeyUsers, ".Default\\Open").empty());

    // Deleting under the refused key is refused too, and removes nothing anywhere.
    memory.PutText(kHkeyLocalMachine, "Software\\Open", "Kept", "mine");
    ScriptMode deleting = ScriptMode::kDelete;
    EXPECT_THROW(ApplyLine(registry, "\"Kept\"=-", deleting), ERegistryException);
    EXPECT_TRUE(memory.GetValue(c.deniedRoot, c.deniedPath, "Kept").has_value());
    EXPECT_TRUE(memory.GetValue(kHkeyLocalMachine, "Software\\Open", "Kept").has_value());
  }
}

}  // namespace
}  // namespace veltrano
