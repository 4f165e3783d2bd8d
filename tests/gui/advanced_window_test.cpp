// The advanced window TAdvance against the prefix's registry and real INI files: a fresh
// window at "Default" on every list, the keyboard order, "Back to Wizard Mode", "Apply and
// Exit" with its hand-over to the restart prompt, a refused write, Enter on a list, and
// what the lists hold now: their tooltips and "Show &Changes...".
// Each tab is saved as a picture under the build folder's "screenshots".
#include <windows.h>
// commctrl.h needs the types of windows.h first.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "advanced/advanced.h"
#include "engine_forms_fixture.h"

namespace engine_forms {
namespace {

using veltrano::TAdvance;
using veltrano::ui::Application;

const std::string kNetBeui = R"(SYSTEM\CurrentControlSet\Services\VxD\NETBEUI)";
const std::string kAdapter = R"(SYSTEM\CurrentControlSet\Services\Class\Net\0001)";
const std::string kAolsock = R"(SYSTEM\America Online\AOL\Aolsock)";
const std::string kAolsockBack = R"(SYSTEM\America Online\AOL\AolsockBack)";

// The window's picture as a 24-bit BMP file, copied from the screen.
void SaveScreenshot(HWND window, const std::string& path) {
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  BITMAPINFOHEADER header{sizeof(header), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* pixels = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS,
                                    &pixels, nullptr, 0);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(header);
  file.bfSize = file.bfOffBits + rowBytes * static_cast<DWORD>(height);
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
  bytes.append(static_cast<const char*>(pixels), rowBytes * static_cast<DWORD>(height));
  wine_harness::WriteFileBytes(path, bytes);
  SelectObject(memory, previous);
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
}

// A user's click on a tab: the tab control selects it and tells its parent.
void ClickTab(veltrano::ui::TabControl& tabs, int index) {
  RECT item{};
  SendMessageA(tabs.Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&item));
  const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
  SendMessageA(tabs.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageA(tabs.Handle(), WM_LBUTTONUP, 0, point);
}

class AdvancedWindow : public EngineFormsTest {
 protected:
  TAdvance& Open() {
    return Application().CreateForm<TAdvance>(veltrano::AdvanceHooks{
        .backToWizard = [this] { ++backCalls; },
        .createRestartPrompt =
            [this] { restartWithWindowDisabled.push_back(!IsWindowEnabled(current->Handle())); },
    });
  }
  TAdvance& OpenCurrent() { return *(current = &Open()); }

  static std::vector<std::string> Choices(TAdvance& form) {
    std::vector<std::string> shown;
    for (const veltrano::Setting& setting : veltrano::Settings()) {
      veltrano::ui::ComboBox* list = form.List(setting.control);
      shown.push_back(std::string(setting.control) + "=" + list->Item(list->ItemIndex()));
    }
    return shown;
  }
  static std::vector<std::string> AllDefault() {
    std::vector<std::string> shown;
    for (const veltrano::Setting& setting : veltrano::Settings()) {
      shown.push_back(std::string(setting.control) + "=Default");
    }
    return shown;
  }

  TAdvance* current = nullptr;
  int backCalls = 0;
  std::vector<bool> restartWithWindowDisabled;
};

TEST_F(AdvancedWindow, OpensAtDefaultEveryTimeAndGoesBackWithoutWriting) {
  wine_harness::DeleteValue(kHkeyLocalMachine, kNetBeui, "default");
  TAdvance& form = OpenCurrent();
  EXPECT_TRUE(form.IsVisible());
  EXPECT_EQ(form.Caption(), "Veltrano v2.11 Advanced Mode");
  EXPECT_EQ(form.ClientWidth(), 503);
  EXPECT_EQ(form.ClientHeight(), 453);
  EXPECT_FALSE(GetWindowLongPtrA(form.Handle(), GWL_STYLE) & WS_SYSMENU);
  EXPECT_EQ(Choices(form), AllDefault());

  // Tab, from the tab control: the lists of the page, then Exit, Apply and Exit, Show
  // Changes, Back.
  std::vector<HWND> expected = {form.PC1.Handle()};
  for (const char* name : {"a1", "a2", "p1", "g1", "g3", "g2", "g4", "g5", "g6", "g7"}) {
    expected.push_back(form.List(name)->Handle());
  }
  for (auto* button : {&form.RzButton1, &form.RzButton2, &form.RzButton4, &form.RzButton3}) {
    expected.push_back(button->Handle());
  }
  std::vector<HWND> visited = {form.PC1.Handle()};
  for (HWND next = GetNextDlgTabItem(form.Handle(), form.PC1.Handle(), FALSE);
       next && next != form.PC1.Handle() && visited.size() <= expected.size();
       next = GetNextDlgTabItem(form.Handle(), next, FALSE)) {
    visited.push_back(next);
  }
  EXPECT_EQ(visited, expected);

  const std::string folder = wine_harness::BinDir() + "\\..\\screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  const char* names[] = {"general", "tcpip", "spxipx", "netbeui"};
  for (int tab = 3; tab >= 0; --tab) {
    ClickTab(form.PC1, tab);
    gui_support::PumpUntil([] { return false; }, 5);
    for (int page = 0; page < 4; ++page) {
      const auto shown = static_cast<veltrano::AdvancedTab>(page);
      EXPECT_EQ(form.Page(shown).IsVisible(), page == tab) << "tab " << tab;
    }
    SaveScreenshot(form.Handle(), folder + "\\advanced-" + names[tab] + ".bmp");
  }

  form.List("b1")->SetItemIndex(1);
  form.List("td3")->SetItemIndex(9);
  const HWND window = form.Handle();
  gui_support::Click(form.RzButton3.Handle());
  EXPECT_EQ(backCalls, 1);
  EXPECT_TRUE(gui_support::PumpUntil([window] { return !IsWindow(window); }));
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kNetBeui, "default"), std::nullopt);

  TAdvance& reopened = OpenCurrent();
  EXPECT_EQ(Choices(reopened), AllDefault());
  EXPECT_TRUE(restartWithWindowDisabled.empty());

  // Enter on a closed list is the default button's: "Exit" ends the program at once.
  reopened.List("b1")->SetItemIndex(1);
  reopened.List("b1")->SetFocus();
  MSG enter{reopened.List("b1")->Handle(), WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  Application().HandleQueuedMessage(enter);
  EXPECT_EQ(gui_support::RecordedHalts(), std::vector<int>{0});
  EXPECT_EQ(wine_harness::ReadText(kHkeyLocalMachine, kNetBeui, "default"), std::nullopt);
}

TEST_F(AdvancedWindow, ApplyWritesTheRegistryAndPortsThenHandsOverDisabled) {
  TAdvance& form = OpenCurrent();
  const struct {
    const char* control;
    int position;
  } choices[] = {{"td1", 5}, {"a2", 4}, {"g4", 1}, {"g7", 2}};
  for (const auto& choice : choices) form.List(choice.control)->SetItemIndex(choice.position);
  gui_support::Click(form.RzButton2.Handle());

  EXPECT_TRUE(gui_support::RecordedBoxes().empty());
  EXPECT_EQ(restartWithWindowDisabled, std::vector<bool>{true});
  EXPECT_FALSE(form.IsEnabled());
  EXPECT_TRUE(form.IsVisible());
  const struct {
    std::string path;
    std::string name;
    std::string value;
  } written[] = {
      {"", "DefaultTTL", "\"64\""},
      {kMstcp, "DefaultTTL", "\"64\""},
      {kAolsock, "MTU", "dword:000005DC"},
      {kAolsockBack, "MTU", "dword:000005DC"},
  };
  for (const auto& value : written) {
    EXPECT_EQ(Rendered(value.path, value.name), value.value) << value.path << " " << value.name;
  }
  const auto slowNet = wine_harness::ReadRaw(kHkeyLocalMachine, kAdapter, "SLOWNET");
  ASSERT_TRUE(slowNet);
  EXPECT_EQ(slowNet->type, static_cast<std::uint32_t>(REG_BINARY));
  EXPECT_EQ(slowNet->bytes, std::string(1, '\x01'));
  EXPECT_EQ(Ports("win.ini"), AllPorts(kDefaultPorts));
  EXPECT_EQ(Ports("system.ini"), AllPorts(kDefaultPorts));
  for (const auto& value : written) {
    wine_harness::DeleteValue(kHkeyLocalMachine, value.path, value.name);
  }
  wine_harness::DeleteValue(kHkeyLocalMachine, kAdapter, "SLOWNET");
}

TEST_F(AdvancedWindow, RefusedWriteShowsOneErrorAndKeepsTheWindowOpen) {
  wine_harness::ScopedWriteDenial denial(kHkeyLocalMachine, kNetBeui);
  ASSERT_TRUE(denial.Active());
  TAdvance& form = OpenCurrent();
  form.List("b1")->SetItemIndex(1);
  gui_support::Click(form.RzButton2.Handle());

  ASSERT_EQ(gui_support::RecordedBoxes().size(), 1u);
  const gui_support::RecordedBox& box = gui_support::RecordedBoxes().front();
  EXPECT_EQ(box.text, "Failed to set data for 'default'");
  EXPECT_EQ(box.caption, "Veltrano v2.11");
  EXPECT_EQ(box.flags, kErrorBoxFlags);
  EXPECT_TRUE(restartWithWindowDisabled.empty());
  EXPECT_TRUE(form.IsEnabled());
  EXPECT_TRUE(form.IsVisible());
  EXPECT_EQ(Ports("win.ini"), (std::map<std::string, std::string>{}));
}

// The tooltips tell each value's data as the window opens; "Show &Changes..." lists what
// "Apply and Exit" would write with the lists as they stand (and copies it as text), and
// writes nothing.
TEST_F(AdvancedWindow, TooltipsAndShowChangesTellTheDataNowAndWriteNothing) {
  wine_harness::DeleteValue(kHkeyLocalMachine, "", "DefaultTTL");
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kMstcp, "DefaultTTL", "32"));
  ASSERT_TRUE(wine_harness::PutText(kHkeyLocalMachine, kAdapter, "MaxMTU", "1500"));
  ASSERT_TRUE(wine_harness::WriteFileBytes(WindowsFile("win.ini"), "[Ports]\r\nCOM1:=19200\r\n"));
  TAdvance& form = OpenCurrent();
  const std::string lineBreak = form.Hints().Multiline() ? "\r\n" : "; ";
  const std::map<std::string, std::string> hints = {
      {"g5", "MaxMTU: 1500"},
      {"td1",
       "HKLM\\DefaultTTL: not set (Windows' own default)" + lineBreak + "MSTCP\\DefaultTTL: 32"},
      {"g7", "win.ini [Ports] COM1: 19200"}};
  for (const auto& [control, text] : hints) {
    EXPECT_EQ(form.Hints().TextOf(*form.List(control)), text) << control;
  }
  form.List("td1")->SetItemIndex(5);  // 64
  gui_support::SeenChanges changes;
  gui_support::Click(form.RzButton4.Handle());
  EXPECT_EQ(changes.headline, "Apply and Exit will change 2 settings:");
  EXPECT_EQ(changes.rows,
            (std::vector<veltrano::ChangeRow>{{"HKLM\\DefaultTTL", "not set", "64"},
                                              {"HKLM\\" + kMstcp + "\\DefaultTTL", "32", "64"}}));
  EXPECT_EQ(changes.clipboard, "Setting\tNow\tAfter\r\nHKLM\\DefaultTTL\tnot set\t64\r\nHKLM\\" +
                                   kMstcp + "\\DefaultTTL\t32\t64\r\n");
  EXPECT_EQ(Rendered("", "DefaultTTL") + Rendered(kMstcp, "DefaultTTL"), "\"32\"");
  EXPECT_TRUE(form.IsEnabled());
  wine_harness::DeleteValue(kHkeyLocalMachine, kMstcp, "DefaultTTL");
  wine_harness::DeleteValue(kHkeyLocalMachine, kAdapter, "MaxMTU");
}

}  // namespace
}  // namespace engine_forms
