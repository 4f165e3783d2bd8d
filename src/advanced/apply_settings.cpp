#include "advanced/apply_settings.h"

#include <cstdint>
#include <string_view>

#include "advanced/catalogue.h"
#include "engine/backup.h"
#include "engine/profile_plan.h"
#include "engine/runs.h"
#include "engine/script.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

int PositionOf(const AdvancedChoices& choices, std::string_view control) {
  const auto found = choices.find(std::string(control));
  return found == choices.end() ? 0 : found->second;
}

bool WritesSomething(const Setting& setting, int position) {
  return position >= 1 && position < static_cast<int>(ChoicesOf(setting.list).size());
}

void WriteValue(TRegistry& registry, const Setting& setting, int position,
                const std::string& name) {
  switch (setting.kind) {
    case DataKind::kString:
      registry.WriteText(name, ChoiceValueText(setting.list, position));
      break;
    case DataKind::kDword:
      registry.WriteNumber(name, ChoiceMtuNumber(position));
      break;
    case DataKind::kByte: {
      const auto byte = static_cast<std::uint8_t>(HexToNumber(position == 1 ? "01" : "00"));
      registry.WriteBlock(name, &byte, 1);
      break;
    }
    case DataKind::kPorts:
      break;  // not a registry value
  }
}

void OpenStepKey(TRegistry& registry, CatalogueKey key, const std::string& systemKeyName) {
  const bool create = KeyEntryOf(key).form != KeyForm::kRoot;
  if (!registry.OpenPath(KeyPathOf(key, systemKeyName), create)) registry.CloseCurrent();
}

void ApplyStepValues(TRegistry& registry, const ApplyStep& step, const AdvancedChoices& choices) {
  for (const char* control : step.controls) {
    if (!control) break;
    const Setting& setting = *FindSetting(control);
    const int position = PositionOf(choices, control);
    if (!WritesSomething(setting, position)) continue;
    for (const ValueTarget& target : setting.targets) {
      if (target.name && target.key == step.key) {
        WriteValue(registry, setting, position, target.name);
      }
    }
  }
}

void ApplyChosenValues(RegistryApi& api, const std::string& systemKeyName,
                       const AdvancedChoices& choices) {
  TRegistry registry(api);
  registry.SelectRoot(kHkeyLocalMachine);
  for (const ApplyStep& step : ApplySteps()) {
    OpenStepKey(registry, step.key, systemKeyName);
    ApplyStepValues(registry, step, choices);
  }
  registry.CloseCurrent();
}

// Every step the apply makes, against whatever registry and INI files it is handed.
Change AdvancedChange(const AdvancedEnvironment& env, const AdvancedChoices& choices) {
  return [&env, &choices](RegistryApi& registry, ProfileStringApi& ini) {
    ApplyChosenValues(registry, env.systemKeyName, choices);
    const int position = PositionOf(choices, kPortsControl);
    if (position == 1) WritePortSpeeds(ini, env.windowsDir, kOptimizedPortSetting);
    if (position == 2) WritePortSpeeds(ini, env.windowsDir, kDefaultPortSetting);
  };
}

}  // namespace

void ApplyAdvancedSettings(const AdvancedEnvironment& env, const AdvancedChoices& choices) {
  BackUpAndApply(env.registry, env.ini, env.programDir, "an advanced-mode apply",
                 AdvancedChange(env, choices));
}

ChangePlan PlanAdvancedApply(const AdvancedEnvironment& env, const AdvancedChoices& choices) {
  return PlanChange(env.registry, env.ini, AdvancedChange(env, choices));
}

std::vector<ChangedValue> CatalogueTargets() {
  // Every list at its first choice after "Default" writes every value the catalogue has.
  AdvancedChoices everything;
  for (const ApplyStep& step : ApplySteps()) {
    for (const char* control : step.controls) {
      if (control) everything[control] = 1;
    }
  }
  return TargetsOf([&everything](RegistryApi& registry, ProfileStringApi&) {
    ApplyChosenValues(registry, "System", everything);
  });
}

}  // namespace veltrano
