// How a work file is cut into lines, and how profiles are scrambled and descrambled.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/codec.h"
#include "engine/profile_files.h"
#include "engine/script.h"
#include "native/engine_support.h"
#include "platform/errors.h"

namespace veltrano {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

// Hands out one byte per read, so that every line end falls on a block boundary.
class TrickleSource : public ByteSource {
 public:
  explicit TrickleSource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(char* buffer, std::size_t capacity) override {
    if (offset_ == bytes_.size() || capacity == 0) return 0;
    buffer[0] = bytes_[offset_++];
    return 1;
  }

 private:
  std::string bytes_;
  std::size_t offset_ = 0;
};

std::vector<std::string> AllLines(ByteSource& source) {
  ScriptReader reader(source);
  std::vector<std::string> lines;
  std::string line;
  while (reader.Next(line)) lines.push_back(line);
  EXPECT_FALSE(reader.Next(line));  // stays ended
  return lines;
}

TEST(EngineReader, LineEndsAndEndOfScript) {
  const std::string x300(300, 'x');
  const struct {
    const char* what;
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"CR alone", "a\rb\r", {"a", "b"}},
      {"lone LF is a character", "a\nb\r\n", {"a\nb"}},
      {"LF after CR LF starts the next line", "a\r\n\nb", {"a", "\nb"}},
      {"empty lines", "a\r\n\r\n\rb", {"a", "", "", "b"}},
      {"CR then CR LF", "a\r\r\n", {"a", ""}},
      {"last line without end", "a\r\nlast", {"a", "last"}},
      {"nothing", "", {}},
      {"0x1A ends the script",
       "a\r\n\x1A"
       "b\r\n",
       {"a"}},
      {"0x1A inside a line",
       "ab\x1A"
       "cd\r\n",
       {"ab"}},
      {"0x1A first",
       "\x1A"
       "a",
       {}},
      {"zero bytes are characters", std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
      {"cut at 255", x300 + "\r\nb\r\n", {std::string(255, 'x'), "b"}},
      {"cut line skipped to its CR alone", x300 + "\rb", {std::string(255, 'x'), "b"}},
      {"0x1A in the skipped part",
       x300 + "\x1A"
              "\r\nb",
       {std::string(255, 'x')}},
      {"255 is not cut", std::string(255, 'y') + "\r\n", {std::string(255, 'y')}},
  };
  for (const auto& c : cases) {
    MemoryByteSource whole(c.bytes);
    EXPECT_EQ(AllLines(whole), c.lines) << c.what;
    TrickleSource trickle(c.bytes);
    EXPECT_EQ(AllLines(trickle), c.lines) << c.what << " (one byte a read)";
  }
}

TEST(EngineReader, ReportsLineNumbersAndCutLines) {
  const std::string script = "one\r\n" + std::string(256, 'z') + "\r\nthree";
  MemoryByteSource source(script);
  ScriptReader reader(source);
  std::string line;
  const struct {
    std::size_t number;
    bool cut;
  } expected[] = {{1, false}, {2, true}, {3, false}};
  for (const auto& e : expected) {
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(reader.LineNumber(), e.number);
    EXPECT_EQ(reader.LastLineCut(), e.cut) << e.number;
  }
}

TEST(EngineReader, StreamsScriptsLargerThanItsBuffer) {
  std::string script;
  for (int i = 0; i < 5000; ++i) script += "\"V" + std::to_string(i) + "\"=\"x\"\r\n";
  MemoryByteSource source(script);
  const auto lines = AllLines(source);
  ASSERT_EQ(lines.size(), 5000u);
  EXPECT_EQ(lines[4999], "\"V4999\"=\"x\"");
}

TEST(EngineCodec, KeyStreamHasPeriodTen) {
  const std::string zeros(10010, '\0');
  const std::string scrambled = TransformProfile(zeros);
  const struct {
    std::size_t offset;
    char byte;
  } cases[] = {{0, 'R'}, {1, 'a'},  {5, 'E'},     {8, 'V'},     {9, 0},    {10, 'R'},
               {19, 0},  {9999, 0}, {10000, 'R'}, {10001, 'a'}, {10009, 0}};
  for (const auto& c : cases) EXPECT_EQ(scrambled[c.offset], c.byte) << c.offset;
}

TEST(EngineCodec, RoundTripDoesNotDependOnBlocks) {
  std::mt19937 random(7);
  std::string original(25003, '\0');
  for (char& c : original) c = static_cast<char>(random());
  const std::string scrambled = TransformProfile(original);
  EXPECT_NE(scrambled, original);
  EXPECT_EQ(TransformProfile(scrambled), original);

  for (const std::size_t block : {1u, 3u, 9u, 10u, 11u, 4096u, 10000u}) {
    std::string pieces = original;
    ProfileCodec codec;
    for (std::size_t at = 0; at < pieces.size(); at += block) {
      codec.Transform(pieces.data() + at, std::min(block, pieces.size() - at));
    }
    EXPECT_EQ(pieces, scrambled) << "blocks of " << block;
  }
}

class EngineWorkFile : public ::testing::Test {
 protected:
  std::string Program() const { return folder_.Path() + "\\"; }
  std::string Windows() const { return folder_.Path() + "\\win"; }
  std::string Native(const std::string& relative) const { return folder_.Path() + "/" + relative; }
  ProfilePlaces Places(const std::string& suffix = "") const {
    return ProfilePlaces{Program(), Windows(), suffix};
  }
  void SetUp() override { std::filesystem::create_directories(Native("win")); }

  TempFolder folder_;
};

TEST_F(EngineWorkFile, ProfileNamesBySetTypeAndFamily) {
  const struct {
    ProfileSet set;
    int type;
    const char* suffix;
    std::string relative;
  } cases[] = {
      {ProfileSet::kOptimization, 1, "", "VLO\\modem56k.vlo"},
      {ProfileSet::kOptimization, 1, "2k", "VLO\\modem56k2k.vlo"},
      {ProfileSet::kDefaults, 1, "2k", "VLU\\modem56k2k.vlu"},
      {ProfileSet::kDefaults, 2, "", "VLU\\modem33k.vlu"},
      {ProfileSet::kOptimization, 3, "", "VLO\\lanisdn.vlo"},
      {ProfileSet::kOptimization, 4, "2k", "VLO\\cabledslpppoe2k.vlo"},
      {ProfileSet::kOptimization, 5, "", "VLO\\lanisdn.vlo"},
      {ProfileSet::kDefaults, 6, "2k", "VLU\\satellite2k.vlu"},
      {ProfileSet::kOptimization, 0, "", ""},
      {ProfileSet::kOptimization, 7, "", ""},
      {ProfileSet::kDefaults, 8, "", ""},
      {ProfileSet::kDefaults, -1, "", ""},
  };
  for (const auto& c : cases) {
    const std::string expected = c.relative.empty() ? "" : Program() + c.relative;
    EXPECT_EQ(ProfileFilePath(Places(c.suffix), c.set, c.type), expected) << c.type;
  }
  EXPECT_EQ(WorkFilePath("C:\\WINDOWS"), "C:\\WINDOWS\\winspd.exe");
}

TEST_F(EngineWorkFile, DescramblesAcrossBlocks) {
  std::mt19937 random(11);
  std::string script(23456, '\0');
  for (char& c : script) c = static_cast<char>(random());
  WriteBytes(Native("VLU/satellite2k.vlu"), TransformProfile(script));
  WriteBytes(Native("win/winspd.exe"), "an older, longer work file left behind by a run");

  PrepareWorkFile(Places("2k"), ProfileSet::kDefaults, 6);
  EXPECT_EQ(ReadBytes(Native("win/winspd.exe")), script);
}

TEST_F(EngineWorkFile, EmptyProfileGivesEmptyWorkFile) {
  WriteBytes(Native("VLO/modem33k.vlo"), "");
  PrepareWorkFile(Places(), ProfileSet::kOptimization, 2);
  ASSERT_TRUE(std::filesystem::exists(Native("win/winspd.exe")));
  EXPECT_EQ(ReadBytes(Native("win/winspd.exe")), "");
}

TEST_F(EngineWorkFile, MissingOrUnreadableProfileIsReported) {
  // The 9x file exists, so the NT name must not fall back to it.
  WriteBytes(Native("VLO/modem56k.vlo"), TransformProfile("x"));
  std::filesystem::create_directories(Native("VLO/modem33k.vlo"));  // cannot be read
  const struct {
    ProfileSet set;
    int type;
    const char* suffix;
  } cases[] = {
      {ProfileSet::kOptimization, 1, "2k"}, {ProfileSet::kDefaults, 1, ""},
      {ProfileSet::kOptimization, 2, ""},   {ProfileSet::kOptimization, 0, ""},
      {ProfileSet::kOptimization, 8, ""},   {ProfileSet::kDefaults, 255, "2k"},
  };
  for (const auto& c : cases) {
    try {
      PrepareWorkFile(Places(c.suffix), c.set, c.type);
      ADD_FAILURE() << "type " << c.type << " found a profile";
    } catch (const MissingProfileFile& error) {
      EXPECT_STREQ(error.what(),
                   "A required file cannot be found.\r\nPlease reinstall the application.");
    }
    EXPECT_FALSE(std::filesystem::exists(Native("win/winspd.exe"))) << c.type;
  }
}

TEST_F(EngineWorkFile, TypeSevenDeletesTheWorkFile) {
  WriteBytes(Native("win/winspd.exe"), "left");
  PrepareWorkFile(Places(), ProfileSet::kDefaults, 7);
  EXPECT_FALSE(std::filesystem::exists(Native("win/winspd.exe")));
  try {
    PrepareWorkFile(Places(), ProfileSet::kOptimization, 7);
    FAIL() << "a missing work file was deleted";
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "File not found");
  }
}

}  // namespace
}  // namespace veltrano
