// The Changes window says where a change would stop part-way, under its headline.
#include <windows.h>

#include <gtest/gtest.h>

#include "gui_support.h"
#include "ui/application.h"

TEST(ChangesWindow, TheHeadlineSaysWhereTheChangeWouldStop) {
  auto& window = veltrano::ui::Application().CreateForm<veltrano::TChanges>(
      veltrano::ChangesHeadline("Apply and Exit", 0), std::vector<veltrano::ChangeRow>{},
      "Failed to set data for 'MTU'");
  EXPECT_EQ(window.Caption(), "Veltrano v2.11 - Changes");
  EXPECT_EQ(window.Label1.Caption(),
            "Apply and Exit changes nothing: every setting already has the value it would get."
            "\r\nIt would stop at: Failed to set data for 'MTU'");
  EXPECT_EQ(window.ListView1.ColumnTitle(0) + "|" + window.ListView1.ColumnTitle(1) + "|" +
                window.ListView1.ColumnTitle(2),
            "Setting|Now|After");
  EXPECT_EQ(window.ListView1.RowCount(), 0);
}
