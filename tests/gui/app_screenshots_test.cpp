// Pictures of every wizard page and side window, for a person to look at, in the folder
// VELTRANO_SCREENSHOT_DIR names (scripts/screenshots.sh) or else in build/win64/screenshots
// (scripts/test.sh turns them into PNG files); each window must have been captured.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/about.h"
#include "app/justone.h"
#include "app/restar.h"
#include "app/restore.h"
#include "app_wizard_fixture.h"
#include "engine/backup.h"

namespace app_wizard {
namespace {

using veltrano::ui::Application;

// Lets the window come to the front and paint, then copies it from the screen into a
// 24-bit BMP file. False when nothing could be written.
bool SaveWindowPicture(HWND window, const std::string& path) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  int rounds = 0;
  gui_support::PumpUntil([&] { return ++rounds > 40; });
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, old);
  const DWORD rowBytes = static_cast<DWORD>((width * 3 + 3) & ~3);
  const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  bytes.append(static_cast<const char*>(bits), imageBytes);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return wine_harness::WriteFileBytes(path, bytes);
}

using Screenshots = WizardTest;

TEST_F(Screenshots, EveryPageAndSideWindow) {
  const char* folder = std::getenv("VELTRANO_SCREENSHOT_DIR");
  const std::string dir = folder ? folder : wine_harness::BinDir() + "\\..\\screenshots";
  CreateDirectoryA(dir.c_str(), nullptr);
  auto save = [&](HWND window, const char* name) {
    EXPECT_TRUE(SaveWindowPicture(window, dir + "\\" + name + ".bmp")) << name;
  };

  engine_forms::FakeShutdown shutdown;
  veltrano::TForm1& form = StartWizard();
  veltrano::AppState().SelectedType = 0;
  form.SB1.SetSimpleText("Last optimization type that you use Windows Default Settings");
  form.VrMatrix1.SetScrolling(false);
  for (int step = 0; step < 40; ++step) form.VrMatrix1.Step();  // the message in full view
  struct Shot {
    std::vector<std::string> presses;  // from the page before
    const char* name;
  };
  const Shot pages[] = {
      {{}, "wizard-1-welcome"},
      {{"&Next >"}, "wizard-2-connection-type"},
      {{"&Next >"}, "wizard-3-modem"},
      {{"< &Back", "Cable , xDSL", "&Next >"}, "wizard-4-cable-xdsl"},
      {{"&Next >"}, "wizard-5-optimize"},
  };
  for (const Shot& shot : pages) {
    ASSERT_TRUE(PressAll(form, shot.presses));
    save(form.Handle(), shot.name);
  }
  // What "Optimize" would change for normal cable, with the prefix's Windows folder (read
  // only) in the rows.
  veltrano::AppState().WindowsDir = "C:\\windows";
  gui_support::WhenShown changes("TChanges", [&](HWND window) {
    save(window, "side-changes");
    PostMessageA(window, WM_CLOSE, 0, 0);
  });
  ASSERT_TRUE(Press(form, "Show &Changes..."));

  auto& about = Application().CreateForm<veltrano::TForm8>();
  about.Show();
  save(about.Handle(), "side-about");
  about.Hide();

  auto& notice = Application().CreateForm<veltrano::TFirstrun>();
  save(notice.Handle(), "side-first-run-notice");
  notice.Hide();

  auto& prompt = Application().CreateForm<veltrano::Trestart>(shutdown);
  save(prompt.Handle(), "side-restart-prompt");
  prompt.Hide();

  // The restore window over the kept backups of a program folder of its own.
  wine_harness::TempFolder program;
  veltrano::AppState().ProgramDir = program.Path() + "\\";
  veltrano::SettingsBackup backup;
  for (const char* before : {"an optimization for Satellite Dish", "an advanced-mode apply"}) {
    backup.taken = veltrano::TakenNow();
    backup.before = before;
    veltrano::SaveBackup(veltrano::AppState().ProgramDir, backup);
  }
  veltrano::EnterRestoreMode("");
  save(FindWindowA("TRestore", nullptr), "side-restore");
}

}  // namespace
}  // namespace app_wizard
