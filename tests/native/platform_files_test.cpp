#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <utility>

#include "platform/errors.h"
#include "platform/files.h"

namespace veltrano {
namespace {

TEST(Files, DirectoryOfKeepsTheTrailingSeparator) {
  // Set for the run under Wine in Shift-JIS (code page 932), where "\x95\x5C" is one
  // character whose second byte is that of "\".
  const bool shiftJis = std::getenv("VELTRANO_SHIFT_JIS") != nullptr;
  const struct {
    const char* path;
    const char* directory;
    const char* inShiftJis = nullptr;  // nullptr: the same
  } cases[] = {
      {"C:\\P\\\x95\x5C.exe", "C:\\P\\\x95\x5C", "C:\\P\\"},
      {"C:\\\x95\x5C\\x.exe", "C:\\\x95\x5C\\"},
      {"C:\\Program Files\\Veltrano\\Veltrano.exe", "C:\\Program Files\\Veltrano\\"},
      {"C:\\Veltrano.exe", "C:\\"},
      {"C:Veltrano.exe", "C:"},
      {"Veltrano.exe", ""},
      {"C:\\P\\", "C:\\P\\"},
      {"\\\\server\\share\\x.exe", "\\\\server\\share\\"},
      {"/opt/veltrano/Veltrano.exe", "/opt/veltrano/"},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DirectoryOf(c.path), shiftJis && c.inShiftJis ? c.inShiftJis : c.directory) << c.path;
  }
}

TEST(Files, ReadWholeNameGrowsTheBufferUntilTheNameFits) {
  for (const auto& [length, whole] :
       {std::pair{259u, true}, {260u, true}, {32767u, true}, {32768u, false}, {0u, false}}) {
    const std::string name(length, 'x');
    // As GetModuleFileNameA: what fits of the name, its length or the buffer's.
    const auto read = ReadWholeName([&name](char* buffer, std::uint32_t size) {
      return static_cast<std::uint32_t>(name.copy(buffer, size));
    });
    EXPECT_EQ(read, whole ? std::optional(name) : std::nullopt) << length;
  }
}

TEST(Files, NativePathUsesTheHostSeparator) {
#ifdef _WIN32
  EXPECT_EQ(NativePath("C:\\WINDOWS\\winspd.exe"), "C:\\WINDOWS\\winspd.exe");
#else
  EXPECT_EQ(NativePath("/tmp/x\\WINDOWS\\winspd.exe"), "/tmp/x/WINDOWS/winspd.exe");
  EXPECT_EQ(NativePath("plain"), "plain");
#endif
}

class DeleteFileCheckedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("veltrano-files-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // The Windows form of a path in the folder, as the program builds it.
  std::string WindowsPath(const std::string& name) const { return folder_.string() + "\\" + name; }

  std::filesystem::path folder_;
};

TEST_F(DeleteFileCheckedTest, DeletesAnExistingFile) {
  std::ofstream(folder_ / "winspd.exe") << "work";
  DeleteFileChecked(WindowsPath("winspd.exe"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "winspd.exe"));
}

TEST_F(DeleteFileCheckedTest, RefusesWhatIsNotAFile) {
  std::filesystem::create_directories(folder_ / "folder");
  const struct {
    const char* name;
    const char* message;
  } cases[] = {
      {"winspd.exe", "File not found"},
      {"missing\\winspd.exe", "File not found"},
      {"folder", "Access denied"},
  };
  for (const auto& c : cases) {
    try {
      DeleteFileChecked(WindowsPath(c.name));
      ADD_FAILURE() << "deleted " << c.name;
    } catch (const EInOutError& error) {
      EXPECT_STREQ(error.what(), c.message) << c.name;
    }
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder_ / "folder"));
}

}  // namespace
}  // namespace veltrano
