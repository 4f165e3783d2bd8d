// The restore window TRestore, which `Veltrano.exe /restore` opens: the kept restore
// points, newest first, the backup from before Veltrano last. "Show &Changes..." lists
// what restoring the selected point would change, "&Restore" restores it after asking
// and hands over to the restart prompt, "&Close" ends the program: in restore mode this
// is the only window.
#pragma once

#include <vector>

#include "engine/restore_points.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/report_list.h"

namespace veltrano {

inline constexpr char kRestoreCaption[] = "Veltrano v2.11 - Restore";

class TRestore : public ui::Form {
 public:
  TRestore();

  // What to do; or what is wrong with the backup from before Veltrano; or that there is
  // no backup at all.
  ui::Label Label1;
  ui::ReportList ListView1;  // "Taken", "Before"
  ui::Button RzButton1;      // "Show &Changes..."
  ui::Button RzButton2;      // "&Restore", the default button
  ui::Button RzButton3;      // "&Close"

  // The points in the order of the rows.
  const std::vector<RestorePoint>& Points() const { return points_; }

  void ListView1Select();  // the buttons follow the selection
  void RzButton1Click();   // "Show &Changes..."
  void RzButton2Click();   // "&Restore"
  void RzButton3Click();   // "&Close": ends the program

 protected:
  void OnClose() override { RzButton3Click(); }

 private:
  const RestorePoint* Selected() const;

  std::vector<RestorePoint> points_;
};

}  // namespace veltrano
