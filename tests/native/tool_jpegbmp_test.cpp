// jpegbmp, run the way the build runs it: on the committed artwork, and on broken files,
// which must fail the build with the file's name rather than embed a grey picture.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "native/engine_support.h"

namespace veltrano {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr std::size_t kHeadersSize = 54;

std::string SourceDir() {
  if (const char* dir = std::getenv("VELTRANO_SOURCE_DIR")) return dir;
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

struct ToolRun {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

ToolRun RunJpegBmp(const std::string& input, const std::string& output) {
  const std::string command =
      std::string("'") + VELTRANO_JPEGBMP + "' '" + input + "' '" + output + "' 2>&1";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char block[512];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, pipe)) > 0) run.output.append(block, count);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  return run;
}

std::uint32_t Field(const std::string& bytes, std::size_t offset, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
  }
  return value;
}

TEST(ToolJpegBmp, DecodesTheArtworkAndRefusesBrokenFiles) {
  TempFolder folder;
  const std::string art = SourceDir() + "/art/";
  const std::string prompt = ReadBytes(art + "prompt.jpg");
  ASSERT_FALSE(prompt.empty());
  const std::string truncated = folder.Path() + "/truncated.jpg";
  const std::string text = folder.Path() + "/text.jpg";
  WriteBytes(truncated, prompt.substr(0, prompt.size() / 2));
  WriteBytes(text, "REGEDIT4\r\n");

  const struct {
    std::string input;
    int width;  // 0: the tool must fail
    int height;
    std::string reason;  // the start of the failure's reason
  } cases[] = {
      {art + "wizard.jpg", 105, 233, ""},
      {art + "prompt.jpg", 68, 64, ""},
      {truncated, 0, 0, "Premature end of JPEG file"},
      {text, 0, 0, "Not a JPEG file"},
      {folder.Path() + "/missing.jpg", 0, 0, "cannot open"},
  };
  // One output for all cases: a failure must also remove what an earlier run left.
  const std::string output = folder.Path() + "/out.bmp";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const ToolRun run = RunJpegBmp(c.input, output);
    if (c.width == 0) {
      EXPECT_NE(run.exitCode, 0);
      EXPECT_EQ(run.output.rfind("jpegbmp: " + c.input + ": " + c.reason, 0), 0u) << run.output;
      EXPECT_FALSE(std::filesystem::exists(output));
      EXPECT_FALSE(std::filesystem::exists(output + ".part"));
      continue;
    }
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string bmp = ReadBytes(output);
    ASSERT_GE(bmp.size(), kHeadersSize);
    const std::size_t stride = (c.width * 3 + 3) / 4 * 4;
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Field(bmp, 2, 4), bmp.size());
    EXPECT_EQ(bmp.size(), kHeadersSize + stride * c.height);
    EXPECT_EQ(Field(bmp, 18, 4), static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(Field(bmp, 22, 4), static_cast<std::uint32_t>(c.height));  // bottom-up
    EXPECT_EQ(Field(bmp, 28, 2), 24u);
  }
}

// A picture red in its top half and blue in its bottom half: the bitmap's first row is
// the bottom one, and each pixel is stored blue, green, red.
TEST(ToolJpegBmp, StoresTheBottomRowFirstInBlueGreenRed) {
  TempFolder folder;
  const std::string output = folder.Path() + "/out.bmp";
  const ToolRun run = RunJpegBmp(SourceDir() + "/tests/native/data/red-over-blue.jpg", output);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string bmp = ReadBytes(output);
  const std::size_t stride = 20;  // 6 pixels of 3 bytes, padded to 4
  ASSERT_EQ(bmp.size(), kHeadersSize + stride * 8);
  const auto pixel = [&](int row, int byte) {
    return static_cast<unsigned char>(bmp[kHeadersSize + row * stride + 3 * 2 + byte]);
  };
  EXPECT_GT(pixel(0, 0), 200);  // bottom row: blue
  EXPECT_LT(pixel(0, 2), 55);
  EXPECT_LT(pixel(7, 0), 55);  // top row: red
  EXPECT_GT(pixel(7, 2), 200);
}

}  // namespace
}  // namespace veltrano
