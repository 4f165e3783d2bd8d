#include "ui/report_list.h"

#include <commctrl.h>

#include <vector>

namespace veltrano::ui {
namespace {

// Messages and styles that comctl32 4.00 (Windows 95 as shipped) knows: report
// view, single selection, the selection kept in sight while the list has no focus.
constexpr DWORD kListStyle =
    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;

// The text of an item or column, asked for in a buffer that grows until it holds it all.
template <typename Ask>
std::string GrowingText(Ask ask) {
  for (int size = 256;; size *= 4) {
    std::vector<char> buffer(static_cast<size_t>(size), '\0');
    const int length = ask(buffer.data(), size);
    if (length < size - 1 || size >= 65536) return std::string(buffer.data());
  }
}

}  // namespace

ReportList::ReportList(Widget& parent, const ReportListArgs& args)
    : Control(parent, {.className = WC_LISTVIEWA,
                       .style = kListStyle,
                       .exStyle = WS_EX_CLIENTEDGE,
                       .bounds = args.bounds,
                       .font = args.font}) {
  // comctl32 4.00 does not know LVM_SETEXTENDEDLISTVIEWSTYLE and ignores it; the selection
  // then shows in the first column only.
  const WPARAM fullRow = LVS_EX_FULLROWSELECT;  // 9x: ignored by comctl32 4.00, see above
  SendMessageA(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, fullRow, fullRow);
  for (const ReportColumn& column : args.columns) {
    LVCOLUMNA header{};
    header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    header.fmt = LVCFMT_LEFT;
    header.cx = column.width;
    header.pszText = const_cast<char*>(column.title.c_str());
    header.iSubItem = columns_;
    if (SendMessageA(hwnd_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(columns_),
                     reinterpret_cast<LPARAM>(&header)) >= 0) {
      ++columns_;
    }
  }
}

void ReportList::AddRow(const std::vector<std::string>& cells) {
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = RowCount();
  item.pszText = const_cast<char*>(cells.empty() ? "" : cells[0].c_str());
  const auto row =
      static_cast<int>(SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return;
  for (int column = 1; column < columns_ && column < static_cast<int>(cells.size()); ++column) {
    LVITEMA cell{};
    cell.iSubItem = column;
    cell.pszText = const_cast<char*>(cells[static_cast<size_t>(column)].c_str());
    SendMessageA(hwnd_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&cell));
  }
}

void ReportList::Clear() {
  SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
}

int ReportList::RowCount() const {
  return static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

std::string ReportList::ColumnTitle(int column) const {
  if (column < 0 || column >= columns_) return {};
  return GrowingText([&](char* buffer, int size) {
    LVCOLUMNA header{};
    header.mask = LVCF_TEXT;
    header.pszText = buffer;
    header.cchTextMax = size;
    SendMessageA(hwnd_, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&header));
    return lstrlenA(buffer);
  });
}

std::string ReportList::Cell(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= columns_) return {};
  return GrowingText([&](char* buffer, int size) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = size;
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                         reinterpret_cast<LPARAM>(&item)));
  });
}

int ReportList::SelectedRow() const {
  return static_cast<int>(
      SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ReportList::SelectRow(int row) {
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  if (row < 0 || row >= RowCount()) {
    // Every row (-1) loses its selection.
    SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
    return;
  }
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(hwnd_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
  SendMessageA(hwnd_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

bool ReportList::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.code != static_cast<UINT>(LVN_ITEMCHANGED)) return false;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
  const bool selectionChanged =
      (change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED);
  if (selectionChanged && onSelect) onSelect();
  result = 0;
  return true;
}

}  // namespace veltrano::ui
