#include "advanced/current_values.h"

#include <cstdint>
#include <vector>

#include "advanced/catalogue.h"
#include "engine/change_plan.h"

namespace veltrano {
namespace {

// An open key, closed with the object; a predefined root is not closed.
class ReadKey {
 public:
  ReadKey(RegistryApi& registry, const std::string& path) : registry_(registry) {
    status_ = registry_.OpenKey(kHkeyLocalMachine, path, kKeyRead, &key_);
  }
  ~ReadKey() {
    if (status_ == kErrorSuccess && !IsPredefinedRoot(key_)) registry_.CloseKey(key_);
  }
  ReadKey(const ReadKey&) = delete;
  ReadKey& operator=(const ReadKey&) = delete;
  long Status() const { return status_; }
  RegKey Key() const { return key_; }

 private:
  RegistryApi& registry_;
  RegKey key_ = 0;
  long status_;
};

std::string Unreadable(long status) {
  return "cannot be read (error " + std::to_string(status) + ")";
}

// The data of one value now, as the Changes window shows data.
std::string DataNow(RegistryApi& registry, const std::string& path, const std::string& name) {
  const ReadKey key(registry, path);
  if (key.Status() == kErrorFileNotFound) return kNotSetText;
  if (key.Status() != kErrorSuccess) return Unreadable(key.Status());
  SavedValue value{{kHkeyLocalMachine, path, name}, true, kRegNone, {}};
  std::uint32_t size = 0;
  long status = registry.QueryValue(key.Key(), name, &value.type, nullptr, &size);
  if (status == kErrorSuccess) {
    std::vector<std::uint8_t> data(size);
    status = registry.QueryValue(key.Key(), name, &value.type, data.data(), &size);
    // A value that grew in between answers "more data" with its new, larger size.
    if (status == kErrorSuccess) value.data.assign(data.begin(), data.begin() + size);
  }
  if (status == kErrorFileNotFound) return kNotSetText;
  if (status != kErrorSuccess) return Unreadable(status);
  return DataForDisplay(value);
}

// The key path as the registry functions take it: no leading backslash ("" for the root).
std::string SubKeyPath(CatalogueKey key, const std::string& systemKeyName) {
  return KeyPathOf(key, systemKeyName).substr(1);
}

std::string LastPart(const std::string& path) {
  if (path.empty()) return "HKLM";
  return path.substr(path.rfind('\\') + 1);
}

bool WritesIntoSeveralKeys(const Setting& setting) {
  for (const ValueTarget& target : setting.targets) {
    if (target.name && target.key != setting.targets[0].key) return true;
  }
  return false;
}

}  // namespace

std::string CurrentValuesText(RegistryApi& registry, ProfileStringApi& ini,
                              const std::string& systemKeyName, const std::string& windowsDir,
                              std::string_view control) {
  const Setting* setting = FindSetting(control);
  if (!setting) return {};
  if (setting->kind == DataKind::kPorts) {
    const auto line = ini.ReadString("Ports", kPortEntries[0], windowsDir + "\\win.ini");
    return std::string("win.ini [Ports] ") + kPortEntries[0] + " " + line.value_or(kNotSetText);
  }
  const bool severalKeys = WritesIntoSeveralKeys(*setting);
  std::string text;
  for (const ValueTarget& target : setting->targets) {
    if (!target.name) continue;
    const std::string path = SubKeyPath(target.key, systemKeyName);
    if (!text.empty()) text += "\r\n";
    if (severalKeys) text += LastPart(path) + "\\";
    text += std::string(target.name) + ": " + DataNow(registry, path, target.name);
  }
  return text;
}

}  // namespace veltrano
