// The drop-down menu and its button, link labels and pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_support.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/menu.h"
#include "ui/picture.h"
#include "ui/timer.h"

namespace {

namespace ui = veltrano::ui;

class UiMenu : public testing::Test {
 protected:
  UiMenu() {
    menu.AddItem("&Stay Alive", "Ctrl+S", [this] { chosen.push_back("stay alive"); });
    menu.AddItem("&Update", "Ctrl+U", [this] { chosen.push_back("update"); });
    menu.AddItem("&About", "", [this] { chosen.push_back("about"); });
    menu.AddItem("&Help", "Ctrl+H", [this] { chosen.push_back("help"); });
    menu.AddSeparator();
    menu.AddItem("&Exit", "Ctrl+E", [this] { chosen.push_back("exit"); });
  }

  ui::Form form{{.caption = "Veltrano v2.11", .clientWidth = 457, .clientHeight = 322}};
  ui::PopupMenu menu;
  std::vector<std::string> chosen;
};

TEST_F(UiMenu, ItemsShowCaptionAndShortcutAsTheSystemMenuHoldsThem) {
  struct Case {
    int index;
    const char* text;
    bool separator;
  };
  const Case cases[] = {
      {0, "&Stay Alive\tCtrl+S", false},
      {1, "&Update\tCtrl+U", false},
      {2, "&About", false},
      {3, "&Help\tCtrl+H", false},
      {4, "-", true},
      {5, "&Exit\tCtrl+E", false},
  };
  ASSERT_EQ(menu.Count(), 6);
  ASSERT_EQ(GetMenuItemCount(menu.Handle()), 6);
  for (const Case& c : cases) {
    EXPECT_EQ(menu.ItemText(c.index), c.text);
    EXPECT_EQ(menu.IsSeparator(c.index), c.separator);
    if (c.separator) {
      EXPECT_TRUE(GetMenuState(menu.Handle(), c.index, MF_BYPOSITION) & MF_SEPARATOR);
      continue;
    }
    char text[64] = {};
    GetMenuStringA(menu.Handle(), c.index, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, c.text);
  }
}

TEST_F(UiMenu, InvokeRunsOnlyThatItemsHandler) {
  menu.Invoke(3);
  menu.Invoke(4);   // the separator does nothing
  menu.Invoke(17);  // out of range does nothing
  menu.Invoke(-1);
  EXPECT_EQ(chosen, std::vector<std::string>{"help"});
}

TEST_F(UiMenu, ButtonDropsTheMenuAndTheUnderlinedLetterChoosesAnItem) {
  ui::MenuButton button(form, {.text = "&Program Options", .bounds = {10, 10, 120, 25}}, menu);
  form.Show();
  // While the menu is open its own loop runs; a tick types the letter of "&Update".
  ui::Timer typist({.interval = 10, .enabled = true});
  typist.onTimer = [&] {
    typist.SetEnabled(false);
    PostMessageA(form.Handle(), WM_CHAR, 'u', 0);
  };
  gui_support::Click(button.Handle());
  EXPECT_EQ(chosen, std::vector<std::string>{"update"});
  EXPECT_EQ(button.LastChoice(), 1);
  form.Hide();
}

TEST_F(UiMenu, ClosingTheMenuWithoutAChoiceRunsNothing) {
  ui::MenuButton button(form, {.text = "&Program Options", .bounds = {10, 10, 120, 25}}, menu);
  form.Show();
  ui::Timer closer({.interval = 10, .enabled = true});
  closer.onTimer = [&] {
    closer.SetEnabled(false);
    EndMenu();
  };
  gui_support::Click(button.Handle());
  EXPECT_TRUE(chosen.empty());
  EXPECT_EQ(button.LastChoice(), -1);
  form.Hide();
}

TEST(UiLinkLabel, ClickRunsTheHandlerAndVisitedTurnsItPurple) {
  ui::Form form({.caption = "About Veltrano", .clientWidth = 282, .clientHeight = 282});
  ui::LinkLabel link(form, {.text = "http://www.quarnsoft.example/", .bounds = {96, 160}});
  int clicks = 0;
  link.onClick = [&] {
    ++clicks;
    link.SetVisited(true);
  };
  EXPECT_EQ(link.CurrentColor(), RGB(0, 0, 255));
  EXPECT_GT(link.GetBounds().width, 0);  // sized to its text, so it can be clicked

  link.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(link.Visited());
  EXPECT_EQ(link.CurrentColor(), RGB(128, 0, 128));

  link.SetEnabled(false);
  link.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(gui_support::WindowText(link.Handle()), "http://www.quarnsoft.example/");
}

// A pointing hand over a link on every system: the program's own where the system has
// none (Windows 95 and NT 4.0, under the old-Windows rules).
TEST(UiLinkLabel, PointerOverTheLinkIsAHand) {
  ui::Form form({.caption = "About Veltrano", .clientWidth = 282, .clientHeight = 282});
  ui::LinkLabel link(form, {.text = "Visit Quarn Software", .bounds = {96, 160}});
  const HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  SetCursor(arrow);
  EXPECT_TRUE(SendMessageA(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.Handle()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_NE(GetCursor(), arrow);
  EXPECT_NE(GetCursor(), nullptr);
}

// A 2 by 2 bitmap: red, green / blue, white.
ui::OwnedBitmap FourColours() {
  ui::WindowDC screen(nullptr);
  ui::OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), 2, 2));
  ui::MemoryDC memory(screen.Get());
  ui::ScopedSelect selected(memory.Get(), bitmap.Get());
  SetPixelV(memory.Get(), 0, 0, RGB(255, 0, 0));
  SetPixelV(memory.Get(), 1, 0, RGB(0, 255, 0));
  SetPixelV(memory.Get(), 0, 1, RGB(0, 0, 255));
  SetPixelV(memory.Get(), 1, 1, RGB(255, 255, 255));
  return bitmap;
}

TEST(UiPicture, StretchedPictureFillsItsBoxAndPlainOneKeepsItsSize) {
  ui::Form form({.caption = "Picture", .clientWidth = 200, .clientHeight = 300});
  struct Case {
    bool stretch;
    COLORREF farCorner;  // pixel at (40, 40) of a 50 by 50 box
  };
  for (const Case& c : {Case{true, RGB(255, 255, 255)}, Case{false, GetSysColor(COLOR_BTNFACE)}}) {
    ui::Picture picture(form, {.bounds = {16, 16, 50, 50}, .stretch = c.stretch});
    EXPECT_FALSE(picture.HasBitmap());
    picture.SetBitmap(FourColours());
    EXPECT_EQ(picture.BitmapSize().cx, 2);

    ui::WindowDC screen(nullptr);
    ui::MemoryDC memory(screen.Get());
    ui::OwnedBitmap canvas(CreateCompatibleBitmap(screen.Get(), 50, 50));
    ui::ScopedSelect selected(memory.Get(), canvas.Get());
    SendMessageA(picture.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()),
                 PRF_CLIENT);
    EXPECT_EQ(GetPixel(memory.Get(), 0, 0), RGB(255, 0, 0)) << "stretch " << c.stretch;
    EXPECT_EQ(GetPixel(memory.Get(), 40, 40), c.farCorner) << "stretch " << c.stretch;
  }
}

// Columns black, white, white, black ... halved: sampled or averaged, light stays; merged
// toward black, as in a memory DC's own mode where HALFTONE is refused (9x), it does not.
TEST(UiPicture, ShrunkPictureKeepsItsLightColumns) {
  ui::Form form({.caption = "Picture"});
  ui::Picture picture(form, {.bounds = {0, 0, 8, 1}, .stretch = true});
  picture.SetBitmap(ui::OwnedBitmap(CreateBitmap(16, 1, 1, 1, "\x66\x66")));
  ui::WindowDC screen(nullptr);
  ui::MemoryDC memory(screen.Get());
  ui::OwnedBitmap canvas(CreateCompatibleBitmap(screen.Get(), 8, 1));
  ui::ScopedSelect selected(memory.Get(), canvas.Get());
  SendMessageA(picture.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()),
               PRF_CLIENT);
  int light = 0;
  for (int x = 0; x < 8; ++x) light += GetPixel(memory.Get(), x, 0) != RGB(0, 0, 0);
  EXPECT_GT(light, 0);
}

TEST(UiPicture, MissingResourceGivesNoBitmap) {
  EXPECT_FALSE(ui::LoadBitmapResource(GetModuleHandleA(nullptr), "NO_SUCH_PICTURE"));
}

}  // namespace
