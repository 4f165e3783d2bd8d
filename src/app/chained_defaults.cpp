#include "app/chained_defaults.h"

#include "engine/runs.h"
#include "engine/windef.h"
#include "platform/app_state.h"
#include "ui/application.h"

namespace veltrano {

bool RunChainedDefaults() {
  AppStateRecord& state = AppState();
  state.DefaultsChained = true;
  if (RecordsWindowsDefaults(state.LastOptim)) return true;
  state.DefaultsDone = false;
  state.DefaultsFailed = false;
  ui::Application().CreateForm<TForm6>();
  // The chained run completes inside the creation of its window, so DefaultsDone is
  // already set here; a run that did not set it counts as failed instead of being
  // waited for without end.
  return state.DefaultsDone && !state.DefaultsFailed;
}

}  // namespace veltrano
