#include "app/measure_mode.h"

#include "app/restar.h"
#include "measure/measure_window.h"
#include "ui/application.h"

namespace veltrano {

void OpenMeasureWindow(const std::string& host, bool startAtOnce, bool alone) {
  MeasureHooks hooks;
  hooks.createRestartPrompt = [] { ui::Application().CreateForm<Trestart>(); };
  if (alone) hooks.closed = [] { ui::Application().Halt(0); };
  ui::Application().CreateForm<TMeasure>(std::move(hooks), host, startAtOnce);
}

}  // namespace veltrano
