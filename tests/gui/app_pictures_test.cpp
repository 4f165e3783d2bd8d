// The pictures the build embeds: Veltrano.exe and this test program (whose windows are
// the program's own) both carry them, and they load at the sizes the windows show them.
// And the manifests that ask Windows for administrator rights.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "support/wine_harness.h"
#include "ui/embedded_pictures.h"
#include "ui/picture.h"

namespace {

namespace ui = veltrano::ui;

struct ModuleCloser {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};

// The sums of the blue and of the red bytes of a 24-bit DIB section.
struct ChannelSums {
  unsigned long long blue = 0;
  unsigned long long red = 0;
};

ChannelSums SumChannels(const DIBSECTION& dib) {
  ChannelSums sums;
  const auto* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
  for (LONG y = 0; y < dib.dsBm.bmHeight; ++y) {
    const unsigned char* pixel = bits + y * dib.dsBm.bmWidthBytes;
    for (LONG x = 0; x < dib.dsBm.bmWidth; ++x, pixel += 3) {
      sums.blue += pixel[0];
      sums.red += pixel[2];
    }
  }
  return sums;
}

TEST(AppPictures, ProgramAndTestProgramCarryBothPicturesAtTheirSizes) {
  const std::string exe = wine_harness::BinDir() + "\\Veltrano.exe";
  const std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser> program(
      LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  ASSERT_NE(program, nullptr) << exe;

  const struct {
    const char* name;
    LONG width;
    LONG height;
  } pictures[] = {
      {ui::kWizardPicture, 105, 233},
      {ui::kPromptPicture, 68, 64},
  };
  for (HMODULE module : {program.get(), GetModuleHandleA(nullptr)}) {
    for (const auto& picture : pictures) {
      SCOPED_TRACE(std::string(picture.name) + (module == program.get() ? " in " + exe : ""));
      const ui::OwnedBitmap bitmap = ui::LoadBitmapResource(module, picture.name);
      ASSERT_TRUE(bitmap);
      DIBSECTION dib{};
      ASSERT_EQ(GetObjectA(bitmap.Get(), sizeof dib, &dib), static_cast<int>(sizeof dib));
      EXPECT_EQ(dib.dsBm.bmWidth, picture.width);
      EXPECT_EQ(dib.dsBm.bmHeight, picture.height);
      EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
      // Both pictures are drawn in blues: red outweighing blue means swapped channels.
      const ChannelSums sums = SumChannels(dib);
      EXPECT_GT(sums.blue, 2 * sums.red);
    }
  }
}

// The program and its setup programs change the machine's settings; the companions do not.
TEST(AppManifests, ProgramAndSetupAskForAdministratorRightsTheCompanionsDoNot) {
  for (const auto& [file, administrator] : {std::pair{"Veltrano.exe", true},
                                            {"VeltranoSetup-x64.exe", true},
                                            {"VadiVazar.Exe", false},
                                            {"Update.Exe", false}}) {
    const std::string path = wine_harness::BinDir() + "\\" + file;
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser> program(
        LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_NE(program, nullptr) << path;
    // The manifest of an .exe: RT_MANIFEST (24) resource 1.
    const HRSRC found = FindResourceA(program.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const auto* text = found ? LockResource(LoadResource(program.get(), found)) : nullptr;
    const std::string manifest(static_cast<const char*>(text),
                               text ? SizeofResource(program.get(), found) : 0);
    EXPECT_EQ(manifest.find("\"requireAdministrator\"") != std::string::npos, administrator)
        << file;
  }
}

}  // namespace
