#include "app/restore_window.h"

#include "app/restore.h"
#include "engine/backup.h"
#include "engine/changes_window.h"
#include "platform/app_state.h"
#include "ui/application.h"

namespace veltrano {
namespace {

constexpr int kClientWidth = 480;
constexpr int kMargin = 8;
constexpr int kLabelHeight = 40;  // three lines
constexpr int kListTop = kMargin + kLabelHeight + 4;
constexpr int kListHeight = 200;
constexpr int kButtonTop = kListTop + kListHeight + 12;
constexpr int kClientHeight = kButtonTop + ui::kDefaultButtonHeight + kMargin;
constexpr int kChangesWidth = 105;
constexpr int kCloseLeft = kClientWidth - kMargin - ui::kDefaultButtonWidth;
constexpr int kRestoreLeft = kCloseLeft - kMargin - ui::kDefaultButtonWidth;
constexpr int kChangesLeft = kRestoreLeft - kMargin - kChangesWidth;

constexpr char kChooseText[] =
    "Choose the network settings to put back: each restore point holds the settings from "
    "just before the change it names.";

std::string LabelText(const RestorePointList& list) {
  if (list.points.empty()) {
    return "No backup of the network settings was found in " + BackupFolder(AppState().ProgramDir) +
           ".";
  }
  if (!list.firstProblem.empty()) {
    return list.firstProblem +
           " The oldest kept backup is the earliest state that can be restored.";
  }
  return kChooseText;
}

}  // namespace

TRestore::TRestore()
    : ui::Form({.caption = kRestoreCaption,
                .clientWidth = kClientWidth,
                .clientHeight = kClientHeight,
                .borderIcons = ui::kIconSystemMenu | ui::kIconMinimize,
                .frame = ui::FrameStyle::kDialog,
                .taskbarButton = true,
                .visible = true,
                .className = "TRestore"}),
      Label1(*this, {.bounds = {kMargin, kMargin, kClientWidth - 2 * kMargin, kLabelHeight}}),
      ListView1(*this, {.bounds = {kMargin, kListTop, kClientWidth - 2 * kMargin, kListHeight},
                        .columns = {{"Taken", 130}, {"Before", 310}}}),
      RzButton1(*this, {.text = "Show &Changes...",
                        .bounds = {kChangesLeft, kButtonTop, kChangesWidth, 0},
                        .enabled = false}),
      RzButton2(*this, {.text = "&Restore",
                        .bounds = {kRestoreLeft, kButtonTop},
                        .isDefault = true,
                        .enabled = false}),
      RzButton3(*this, {.text = "&Close", .bounds = {kCloseLeft, kButtonTop}}) {
  const RestorePointList list = ListRestorePoints(AppState().ProgramDir);
  points_ = list.points;
  Label1.SetCaption(LabelText(list));
  for (const RestorePoint& point : points_) {
    const std::string gap = IncompleteText(point);
    ListView1.AddRow({point.taken, point.first ? "Before Veltrano"
                                               : point.before + (gap.empty() ? "" : " " + gap)});
  }
  ListView1.onSelect = [this] { ListView1Select(); };
  RzButton1.onClick = [this] { RzButton1Click(); };
  RzButton2.onClick = [this] { RzButton2Click(); };
  RzButton3.onClick = [this] { RzButton3Click(); };
  // The oldest point first: the settings from before Veltrano, when they are kept.
  ListView1.SelectRow(static_cast<int>(points_.size()) - 1);
  SetActiveControl(ListView1);
}

const RestorePoint* TRestore::Selected() const {
  const int row = ListView1.SelectedRow();
  if (row < 0 || row >= static_cast<int>(points_.size())) return nullptr;
  return &points_[static_cast<size_t>(row)];
}

void TRestore::ListView1Select() {
  const bool chosen = Selected() != nullptr;
  RzButton1.SetEnabled(chosen);
  RzButton2.SetEnabled(chosen);
}

void TRestore::RzButton1Click() {
  const RestorePoint* point = Selected();
  if (!point) return;
  const ChangePlan plan = PlanRestoreOf(*point);
  ShowChanges(ChangesHeadline("Restoring the settings saved on " + point->taken, plan.rows.size()),
              plan);
}

void TRestore::RzButton2Click() {
  const RestorePoint* point = Selected();
  if (!point || !RestorePointAfterAsking(*point)) return;
  // The restart prompt is the program's window from here on.
  Hide();
  Release();
}

void TRestore::RzButton3Click() {
  ui::Application().Halt(0);
}

}  // namespace veltrano
