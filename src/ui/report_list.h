// A list of rows in columns: the system's list view (SysListView32) in its report view,
// which screen readers read as the standard control it is. Rows are added as texts; the
// user selects one row at a time.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/window.h"

namespace veltrano::ui {

struct ReportColumn {
  std::string title{};
  int width = 100;  // pixels
};

struct ReportListArgs {
  Bounds bounds{};
  std::vector<ReportColumn> columns{};
  FontSpec font{};
};

class ReportList : public Control {
 public:
  ReportList(Widget& parent, const ReportListArgs& args);

  // A new last row; cells beyond the columns are dropped, missing ones stay empty.
  void AddRow(const std::vector<std::string>& cells);
  void Clear();
  int RowCount() const;
  int ColumnCount() const { return columns_; }
  std::string ColumnTitle(int column) const;    // "" out of range
  std::string Cell(int row, int column) const;  // "" out of range
  int SelectedRow() const;                      // -1 when none is selected
  // Selects the row (and scrolls it into view); -1 selects none.
  void SelectRow(int row);
  // The selected row changed, by the user or by SelectRow.
  std::function<void()> onSelect;

 protected:
  bool OnNotify(const NMHDR& header, LRESULT& result) override;

 private:
  int columns_ = 0;
};

}  // namespace veltrano::ui
