#include "engine/apply.h"

#include <cstdint>

#include "engine/script.h"

namespace veltrano {
namespace {

void ApplySectionLine(TRegistry& registry, const std::string& line) {
  const bool localMachine = line.size() > 1 && line[1] == 'L';
  registry.SelectRoot(localMachine ? kHkeyLocalMachine : kHkeyUsers);
  if (!registry.OpenPath(KeyPathOf(line), true)) registry.CloseCurrent();
}

void WriteValue(TRegistry& registry, const ValueLine& value) {
  switch (value.kind) {
    case ValueKind::kString:
      registry.WriteText(value.name, value.value);
      break;
    case ValueKind::kDword:
      registry.WriteNumber(value.name, static_cast<std::uint32_t>(HexToNumber(value.value)));
      break;
    case ValueKind::kBinary: {
      const auto byte = static_cast<std::uint8_t>(HexToNumber(value.value));
      registry.WriteBlock(value.name, &byte, 1);
      break;
    }
    case ValueKind::kNone:
      break;
  }
}

}  // namespace

void ApplyLine(TRegistry& registry, const std::string& line, ScriptMode& mode) {
  if (line.empty()) return;
  if (line == kChangeMarker) {
    mode = ScriptMode::kWrite;
    return;
  }
  if (line[0] == '[') {
    ApplySectionLine(registry, line);
  } else if (line[0] == '"') {
    const ValueLine value = SplitValueLine(line);
    if (mode == ScriptMode::kDelete) {
      registry.RemoveValueChecked(value.name);  // a value that is not there is passed over
    } else {
      WriteValue(registry, value);
    }
  }
}

void ApplyScript(ScriptReader& reader, TRegistry& registry, ScriptMode mode) {
  std::string line;
  while (reader.Next(line)) ApplyLine(registry, line, mode);
}

}  // namespace veltrano
