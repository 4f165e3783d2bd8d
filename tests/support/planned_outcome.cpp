#include "support/planned_outcome.h"

#include <cstdint>

#include "engine/codec.h"
#include "engine/profile_plan.h"
#include "engine/script.h"
#include "support/wine_harness.h"

namespace planned_outcome {

Outcome PlannedOutcome(const std::string& profilePath, veltrano::ScriptMode startMode) {
  const auto scrambled = wine_harness::ReadFileBytes(profilePath);
  if (!scrambled) return {};
  veltrano::MemoryByteSource source(veltrano::TransformProfile(*scrambled));
  const veltrano::ProfilePlan plan = veltrano::PlanScript(source, startMode);
  Outcome outcome;
  veltrano::RegKey root = 0;
  std::string path;
  for (const std::string& step : plan.steps) {
    const auto quote = step.find('"');
    const auto nameEnd = step.find('"', quote + 1);
    const std::string name =
        quote == std::string::npos ? "" : step.substr(quote + 1, nameEnd - quote - 1);
    if (step.rfind("open   ", 0) == 0) {
      const std::string full = step.substr(7);
      const auto slash = full.find('\\');
      root = full.compare(0, slash, "HKEY_LOCAL_MACHINE") == 0 ? veltrano::kHkeyLocalMachine
                                                               : veltrano::kHkeyUsers;
      path = slash == std::string::npos ? "" : full.substr(slash + 1);
    } else if (step.rfind("delete ", 0) == 0) {
      outcome[{root, path, name}] = std::nullopt;
    } else if (step.rfind("write  ", 0) == 0) {
      outcome[{root, path, name}] = step.substr(nameEnd + 2);
    }
  }
  return outcome;
}

std::optional<std::string> Described(const ValueId& id) {
  const auto raw = wine_harness::ReadRaw(std::get<0>(id), std::get<1>(id), std::get<2>(id));
  if (!raw) return std::nullopt;
  return veltrano::DescribeValueData(raw->type,
                                     reinterpret_cast<const std::uint8_t*>(raw->bytes.data()),
                                     static_cast<std::uint32_t>(raw->bytes.size()));
}

}  // namespace planned_outcome
