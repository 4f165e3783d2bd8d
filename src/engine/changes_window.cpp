#include "engine/changes_window.h"

#include "ui/application.h"
#include "ui/clipboard.h"

namespace veltrano {
namespace {

constexpr int kClientWidth = 700;
constexpr int kClientHeight = 381;
constexpr int kMargin = 8;
constexpr int kHeadlineHeight = 40;  // three lines: the headline, the stop, a wrap
constexpr int kListTop = kMargin + kHeadlineHeight + 4;
constexpr int kButtonTop = kClientHeight - kMargin - ui::kDefaultButtonHeight;
constexpr int kListHeight = kButtonTop - kMargin - kListTop;
constexpr int kCloseLeft = kClientWidth - kMargin - ui::kDefaultButtonWidth;
constexpr int kCopyLeft = kCloseLeft - kMargin - ui::kDefaultButtonWidth;

// The headline, and the error the change would stop at on a line of its own.
std::string HeadlineText(const std::string& headline, const std::string& error) {
  if (error.empty()) return headline;
  return headline + "\r\nIt would stop at: " + error;
}

}  // namespace

TChanges::TChanges(const std::string& headline, std::vector<ChangeRow> rows,
                   const std::string& error)
    : ui::Form({.caption = kChangesCaption,
                .clientWidth = kClientWidth,
                .clientHeight = kClientHeight,
                .borderIcons = ui::kIconSystemMenu,
                .frame = ui::FrameStyle::kDialog,
                .className = "TChanges"}),
      Label1(*this, {.text = HeadlineText(headline, error),
                     .bounds = {kMargin, kMargin, kClientWidth - 2 * kMargin, kHeadlineHeight}}),
      ListView1(*this, {.bounds = {kMargin, kListTop, kClientWidth - 2 * kMargin, kListHeight},
                        .columns = {{"Setting", 440}, {"Now", 110}, {"After", 110}}}),
      RzButton1(*this, {.text = "&Copy", .bounds = {kCopyLeft, kButtonTop}}),
      RzButton2(*this, {.text = "&Close", .bounds = {kCloseLeft, kButtonTop}, .isDefault = true}),
      rows_(std::move(rows)) {
  for (const ChangeRow& row : rows_) ListView1.AddRow({row.setting, row.now, row.after});
  if (!rows_.empty()) ListView1.SelectRow(0);
  RzButton1.onClick = [this] { RzButton1Click(); };
  RzButton2.onClick = [this] { RzButton2Click(); };
  // The list first, so that a screen reader reads it as the window opens.
  SetActiveControl(ListView1);
}

void TChanges::RzButton1Click() {
  ui::CopyTextToClipboard(Handle(), ChangesAsText(rows_));
}

void TChanges::RzButton2Click() {
  if (IsModal()) {
    EndModal(ui::kModalOk);
  } else {
    Hide();
    Release();
  }
}

void ShowChanges(const std::string& headline, const ChangePlan& plan) {
  TChanges& window = ui::Application().CreateForm<TChanges>(headline, plan.rows, plan.error);
  window.ShowModal();
  window.Release();
}

}  // namespace veltrano
