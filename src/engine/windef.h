// The Windows-defaults window TForm6: undoes the optimization recorded in
// AppState().LastOptim. Standalone it shows itself and animates like the optimizing
// window; chained (AppState().DefaultsChained) it stays hidden, signals DefaultsDone
// before its creation returns and releases itself.
#pragma once

#include "engine/optimizing.h"

namespace veltrano {

class TForm6 : public RunProgressForm {
 public:
  explicit TForm6(ShutdownApi& shutdown = SystemShutdown());

  ui::Label Label3;  // restart advice, enabled (or taken away) with Label1

  void FormCreate();

 protected:
  void OnCreate() override { FormCreate(); }
  void EndResultTexts(bool completed) override;
};

}  // namespace veltrano
