// The Changes window TChanges: what a change would do, before it is made. A headline
// ("Optimize for Satellite Dish will change 12 settings:"), one row per setting with its
// data now and after, "&Copy" (the rows as text on the clipboard) and "&Close". It is
// handed its rows and knows nothing of registries or INI files; opening it writes nothing.
#pragma once

#include <string>
#include <vector>

#include "engine/change_plan.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/report_list.h"

namespace veltrano {

inline constexpr char kChangesCaption[] = "Veltrano v2.11 - Changes";

class TChanges : public ui::Form {
 public:
  // `error`, when not empty, is where the change would stop part-way.
  TChanges(const std::string& headline, std::vector<ChangeRow> rows, const std::string& error = "");

  ui::Label Label1;          // the headline, and where the change would stop
  ui::ReportList ListView1;  // "Setting", "Now", "After"
  ui::Button RzButton1;      // "&Copy"
  ui::Button RzButton2;      // "&Close", the default button

  const std::vector<ChangeRow>& Rows() const { return rows_; }

  void RzButton1Click();  // puts the rows on the clipboard as text
  void RzButton2Click();  // closes the window

 protected:
  void OnClose() override { RzButton2Click(); }

 private:
  std::vector<ChangeRow> rows_;
};

// Shows what `plan` would change in a TChanges window headed by `headline`, modally,
// and frees the window once it is closed.
void ShowChanges(const std::string& headline, const ChangePlan& plan);

}  // namespace veltrano
