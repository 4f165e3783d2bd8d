// The Changes window on its own: the headline (with where a change would stop), one row
// per setting under "Setting", "Now" and "After", "&Copy" putting exactly those rows on
// the clipboard as text, and "&Close".
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/changes_window.h"
#include "gui_support.h"
#include "ui/application.h"

namespace {

using veltrano::ChangeRow;
using veltrano::TChanges;
using veltrano::ui::Application;

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE memory = GetClipboardData(CF_TEXT)) {
    if (const auto* bytes = static_cast<const char*>(GlobalLock(memory))) {
      text = bytes;
      GlobalUnlock(memory);
    }
  }
  CloseClipboard();
  return text;
}

std::vector<ChangeRow> Shown(TChanges& window) {
  std::vector<ChangeRow> rows;
  for (int row = 0; row < window.ListView1.RowCount(); ++row) {
    rows.push_back({window.ListView1.Cell(row, 0), window.ListView1.Cell(row, 1),
                    window.ListView1.Cell(row, 2)});
  }
  return rows;
}

TEST(ChangesWindow, ShowsTheRowsAndCopiesThemAsText) {
  const std::vector<ChangeRow> two = {
      {"HKLM\\System\\CurrentControlSet\\Services\\VxD\\MSTCP\\DefaultTTL", "not set", "64"},
      {"C:\\WINDOWS\\win.ini [Ports] COM1:", "9600,n,8,1,x", "921600,n,8,1,p"}};
  struct Case {
    const char* name;
    std::vector<ChangeRow> rows;
    std::string error;
    std::string label;
    std::string clipboard;
  };
  const Case cases[] = {
      {"two rows", two, "", "Apply and Exit will change 2 settings:",
       "Setting\tNow\tAfter\r\n"
       "HKLM\\System\\CurrentControlSet\\Services\\VxD\\MSTCP\\DefaultTTL\tnot set\t64\r\n"
       "C:\\WINDOWS\\win.ini [Ports] COM1:\t9600,n,8,1,x\t921600,n,8,1,p\r\n"},
      {"would stop part-way",
       {two[0]},
       "Failed to set data for 'MTU'",
       "Apply and Exit will change 1 setting:\r\nIt would stop at: Failed to set data for 'MTU'",
       "Setting\tNow\tAfter\r\n"
       "HKLM\\System\\CurrentControlSet\\Services\\VxD\\MSTCP\\DefaultTTL\tnot set\t64\r\n"},
      {"nothing to change",
       {},
       "",
       "Apply and Exit changes nothing: every setting already has the value it would get.",
       "Setting\tNow\tAfter\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TChanges& window = Application().CreateForm<TChanges>(
        veltrano::ChangesHeadline("Apply and Exit", c.rows.size()), c.rows, c.error);
    window.Show();
    EXPECT_EQ(window.Caption(), "Veltrano v2.11 - Changes");
    EXPECT_EQ(window.Label1.Caption(), c.label);
    ASSERT_EQ(window.ListView1.ColumnCount(), 3);
    EXPECT_EQ(window.ListView1.ColumnTitle(0) + "|" + window.ListView1.ColumnTitle(1) + "|" +
                  window.ListView1.ColumnTitle(2),
              "Setting|Now|After");
    EXPECT_EQ(Shown(window), c.rows);
    EXPECT_EQ(GetFocus(), window.ListView1.Handle()) << "a screen reader starts at the list";

    gui_support::Click(gui_support::FindChildByText(window.Handle(), "&Copy", "Button"));
    EXPECT_EQ(ClipboardText(), c.clipboard);
    EXPECT_TRUE(gui_support::RecordedBoxes().empty());

    const HWND handle = window.Handle();
    gui_support::Click(gui_support::FindChildByText(handle, "&Close", "Button"));
    EXPECT_TRUE(gui_support::PumpUntil([handle] { return !IsWindow(handle); }));
  }
}

}  // namespace
