#include "measure/measurement.h"
#include "platform/app_state.h"
#include "platform/os_version.h"

namespace veltrano {

MeasureEnvironment SystemMeasureEnvironment() {
  const AppStateRecord& state = AppState();
  return {.registry = SystemRegistry(),
          .ini = SystemProfileStrings(),
          .echo = SystemEcho(),
          .info = SystemAdapterInfo(),
          .layout = LayoutOf(QueryOsVersion()),
          .systemKeyName = state.SystemKeyName,
          .programDir = state.ProgramDir};
}

std::vector<ChangedValue> MeasureTargetsOfThisMachine() {
  const MeasureEnvironment env = SystemMeasureEnvironment();
  return MeasureTargets(FindAdapters(env.registry, env.layout, env.info, env.systemKeyName),
                        env.layout, env.systemKeyName);
}

}  // namespace veltrano
