#include "engine/change_plan.h"

#include "platform/convert.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <set>

namespace veltrano {
namespace {

const char* RootAbbreviation(RegKey root) {
  switch (root) {
    case kHkeyClassesRoot:
      return "HKCR";
    case kHkeyCurrentUser:
      return "HKCU";
    case kHkeyUsers:
      return "HKU";
    default:
      return "HKLM";
  }
}

// The order in which a change first touched its targets, across both kinds.
struct Touch {
  bool ini;
  std::size_t index;
};

// Reads values from the live registry, key by key: the key of the last read stays open.
class LiveReader {
 public:
  explicit LiveReader(RegistryApi& live) : live_(live) {}
  ~LiveReader() { Close(); }
  LiveReader(const LiveReader&) = delete;
  LiveReader& operator=(const LiveReader&) = delete;

  // kErrorSuccess, kErrorFileNotFound, or the refusal.
  long KeyStatus(RegKey root, const std::string& path) {
    if (root_ == root && open_ && FoldCase(path) == path_) return kErrorSuccess;
    Close();
    RegKey key = 0;
    const long status = live_.OpenKey(root, path, kKeyRead, &key);
    if (status != kErrorSuccess) return status;
    root_ = root;
    path_ = FoldCase(path);
    key_ = key;
    open_ = true;
    return kErrorSuccess;
  }

  SavedValue Read(const ChangedValue& target) {
    SavedValue value{target, false, kRegNone, {}};
    const long keyStatus = KeyStatus(target.root, target.keyPath);
    if (keyStatus == kErrorFileNotFound) return value;
    if (keyStatus != kErrorSuccess) Unreadable(target, keyStatus);
    std::string data(256, '\0');
    std::uint32_t size = static_cast<std::uint32_t>(data.size());
    long status = live_.QueryValue(key_, target.name, &value.type,
                                   reinterpret_cast<std::uint8_t*>(data.data()), &size);
    if (status == kErrorMoreData) {
      data.assign(size, '\0');
      status = live_.QueryValue(key_, target.name, &value.type,
                                reinterpret_cast<std::uint8_t*>(data.data()), &size);
    }
    if (status == kErrorFileNotFound) {
      value.type = kRegNone;
      return value;
    }
    if (status != kErrorSuccess) Unreadable(target, status);
    value.present = true;
    value.data = data.substr(0, size);
    return value;
  }

 private:
  [[noreturn]] static void Unreadable(const ChangedValue& target, long status) {
    throw EBackupUnreadable("The value '" + target.name + "' in " + target.keyPath +
                            " cannot be read (error " + std::to_string(status) +
                            "). Nothing has been changed");
  }
  void Close() {
    if (open_ && !IsPredefinedRoot(key_)) live_.CloseKey(key_);
    open_ = false;
  }

  RegistryApi& live_;
  RegKey root_ = 0;
  std::string path_;
  RegKey key_ = 0;
  bool open_ = false;
};

// The registry as the change sees it: the live one under what the change has written.
class PlanningRegistry : public RegistryApi {
 public:
  PlanningRegistry(RegistryApi& live, ChangePlan& plan, std::vector<Touch>& order)
      : reader_(live), plan_(plan), order_(order) {}

  long OpenKey(RegKey parent, const std::string& subKey, std::uint32_t, RegKey* result) override {
    return Open(parent, subKey, false, result);
  }
  long CreateKey(RegKey parent, const std::string& subKey, std::uint32_t, RegKey* result) override {
    return Open(parent, subKey, true, result);
  }
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override {
    ChangedValue target;
    if (!Target(key, name, target)) return kErrorInvalidHandle;
    SavedValue& after = After(target);
    after.present = true;
    after.type = type;
    after.data.assign(reinterpret_cast<const char*>(data), size);
    return kErrorSuccess;
  }
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override {
    ChangedValue target;
    if (!Target(key, name, target)) return kErrorInvalidHandle;
    const auto found = index_.find(TargetKey(target));
    const SavedValue value =
        found != index_.end() ? plan_.valuesAfter[found->second] : reader_.Read(target);
    if (!value.present) return kErrorFileNotFound;
    if (type) *type = value.type;
    const auto needed = static_cast<std::uint32_t>(value.data.size());
    if (data && *size < needed) {
      *size = needed;
      return kErrorMoreData;
    }
    if (data) std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return kErrorSuccess;
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    ChangedValue target;
    if (!Target(key, name, target)) return kErrorInvalidHandle;
    const auto found = index_.find(TargetKey(target));
    const bool present = found != index_.end() ? plan_.valuesAfter[found->second].present
                                               : reader_.Read(target).present;
    if (!present) return kErrorFileNotFound;  // as Windows answers for a missing value
    SavedValue& after = After(target);
    after.present = false;
    after.type = kRegNone;
    after.data.clear();
    return kErrorSuccess;
  }
  long CloseKey(RegKey key) override {
    Place* place = Handed(key);
    if (!place) return kErrorInvalidHandle;
    place->open = false;
    return kErrorSuccess;
  }

 private:
  struct Place {
    RegKey root;
    std::string path;
    bool open = true;
  };

  Place* Handed(RegKey key) {
    if (key < kFirstHandle || key - kFirstHandle >= handles_.size()) return nullptr;
    Place& place = handles_[key - kFirstHandle];
    return place.open ? &place : nullptr;
  }

  bool Find(RegKey key, Place& place) const {
    if (IsPredefinedRoot(key)) {
      place = Place{key, "", true};
      return true;
    }
    const Place* handed = const_cast<PlanningRegistry*>(this)->Handed(key);
    if (!handed) return false;
    place = *handed;
    return true;
  }

  long Open(RegKey parent, const std::string& subKey, bool create, RegKey* result) {
    Place place;
    if (!Find(parent, place)) return kErrorInvalidHandle;
    if (!subKey.empty() && subKey[0] == '\\') return kErrorBadPathname;
    if (!subKey.empty()) place.path += (place.path.empty() ? "" : "\\") + subKey;
    const std::string folded = FoldCase(std::to_string(place.root) + "\\" + place.path);
    if (!createdKeys_.count(folded)) {
      const long status = reader_.KeyStatus(place.root, place.path);
      if (status == kErrorFileNotFound && create) {
        createdKeys_.insert(folded);
      } else if (status != kErrorSuccess) {
        return status;
      }
    }
    handles_.push_back(place);
    *result = kFirstHandle + handles_.size() - 1;
    return kErrorSuccess;
  }

  bool Target(RegKey key, const std::string& name, ChangedValue& target) const {
    Place place;
    if (key == 0 || !Find(key, place)) return false;
    target = ChangedValue{place.root, place.path, name};
    return true;
  }

  // The target's data after the change, made on its first touch from its data now.
  SavedValue& After(const ChangedValue& target) {
    const auto [found, added] = index_.emplace(TargetKey(target), plan_.valuesNow.size());
    if (added) {
      plan_.valuesNow.push_back(reader_.Read(target));
      plan_.valuesAfter.push_back(plan_.valuesNow.back());
      order_.push_back(Touch{false, found->second});
    }
    return plan_.valuesAfter[found->second];
  }

  LiveReader reader_;
  ChangePlan& plan_;
  std::vector<Touch>& order_;
  std::map<std::string, std::size_t> index_;
  std::set<std::string> createdKeys_;
  // Handles are never handed out twice: a closed one stays in its place, closed.
  static constexpr RegKey kFirstHandle = 0x1000;
  std::vector<Place> handles_;
};

// The INI files as the change sees them: the live ones under what it has written.
class PlanningProfileStrings : public ProfileStringApi {
 public:
  PlanningProfileStrings(ProfileStringApi& live, ChangePlan& plan, std::vector<Touch>& order)
      : live_(live), plan_(plan), order_(order) {}

  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override {
    SavedIniLine& after = After(section, key, path);
    after.present = true;
    after.value = value;
    return true;
  }
  std::optional<std::string> ReadString(const std::string& section, const std::string& key,
                                        const std::string& path) override {
    const auto found = index_.find(LineKey({path, section, key, false, ""}));
    if (found == index_.end()) return live_.ReadString(section, key, path);
    const SavedIniLine& after = plan_.linesAfter[found->second];
    if (!after.present) return std::nullopt;
    return after.value;
  }
  bool DeleteString(const std::string& section, const std::string& key,
                    const std::string& path) override {
    SavedIniLine& after = After(section, key, path);
    after.present = false;
    after.value.clear();
    return true;
  }

 private:
  SavedIniLine& After(const std::string& section, const std::string& key, const std::string& path) {
    const auto [found, added] =
        index_.emplace(LineKey({path, section, key, false, ""}), plan_.linesNow.size());
    if (added) {
      const auto now = live_.ReadString(section, key, path);
      plan_.linesNow.push_back({path, section, key, now.has_value(), now.value_or("")});
      plan_.linesAfter.push_back(plan_.linesNow.back());
      order_.push_back(Touch{true, found->second});
    }
    return plan_.linesAfter[found->second];
  }

  ProfileStringApi& live_;
  ChangePlan& plan_;
  std::vector<Touch>& order_;
  std::map<std::string, std::size_t> index_;
};

// A registry in which every key and every value is there, and INI files with no line:
// what a change touches there is everything it can touch.
class EveryValueRegistry : public RegistryApi {
 public:
  long OpenKey(RegKey, const std::string&, std::uint32_t, RegKey* result) override {
    *result = 1;
    return kErrorSuccess;
  }
  long CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                 RegKey* result) override {
    return OpenKey(parent, subKey, access, result);
  }
  long SetValue(RegKey, const std::string&, std::uint32_t, const std::uint8_t*,
                std::uint32_t) override {
    return kErrorAccessDenied;  // never called: the planning layer keeps every write
  }
  long QueryValue(RegKey, const std::string&, std::uint32_t* type, std::uint8_t*,
                  std::uint32_t* size) override {
    if (type) *type = kRegNone;
    *size = 0;
    return kErrorSuccess;
  }
  long DeleteValue(RegKey, const std::string&) override { return kErrorAccessDenied; }
  long CloseKey(RegKey) override { return kErrorSuccess; }
};

class NoProfileStrings : public ProfileStringApi {
 public:
  bool WriteString(const std::string&, const std::string&, const std::string&,
                   const std::string&) override {
    return false;
  }
  std::optional<std::string> ReadString(const std::string&, const std::string&,
                                        const std::string&) override {
    return std::nullopt;
  }
  bool DeleteString(const std::string&, const std::string&, const std::string&) override {
    return false;
  }
};

std::string LineForDisplay(const SavedIniLine& line) {
  return line.present ? line.value : "not set";
}

std::string SettingOf(const SavedIniLine& line) {
  return line.path + " [" + line.section + "] " + line.key;
}

std::string SettingOf(const ChangedValue& target) {
  std::string setting = RootAbbreviation(target.root);
  if (!target.keyPath.empty()) setting += "\\" + target.keyPath;
  return setting + "\\" + (target.name.empty() ? std::string("(Default)") : target.name);
}

void AddRows(ChangePlan& plan, const std::vector<Touch>& order) {
  for (const Touch& touch : order) {
    if (touch.ini) {
      const SavedIniLine& now = plan.linesNow[touch.index];
      const SavedIniLine& after = plan.linesAfter[touch.index];
      if (now == after) continue;
      plan.rows.push_back({SettingOf(now), LineForDisplay(now), LineForDisplay(after)});
    } else {
      const SavedValue& now = plan.valuesNow[touch.index];
      const SavedValue& after = plan.valuesAfter[touch.index];
      if (now == after) continue;
      plan.rows.push_back({SettingOf(now.target), DataForDisplay(now), DataForDisplay(after)});
    }
  }
}

}  // namespace

ChangePlan PlanChange(RegistryApi& live, ProfileStringApi& ini, const Change& change) {
  ChangePlan plan;
  std::vector<Touch> order;
  PlanningRegistry registry(live, plan, order);
  PlanningProfileStrings strings(ini, plan, order);
  try {
    change(registry, strings);
  } catch (const EBackupUnreadable&) {
    throw;
  } catch (const std::exception& error) {
    plan.error = error.what();
  }
  AddRows(plan, order);
  return plan;
}

std::vector<ChangeRow> RowsNow(RegistryApi& live, ProfileStringApi& ini,
                               const std::vector<ChangedValue>& values,
                               const std::vector<SavedIniLine>& lines) {
  std::vector<ChangeRow> rows;
  LiveReader reader(live);
  for (const ChangedValue& target : values) {
    const std::string now = DataForDisplay(reader.Read(target));
    rows.push_back({SettingOf(target), now, now});
  }
  for (const SavedIniLine& line : lines) {
    const auto value = ini.ReadString(line.section, line.key, line.path);
    const std::string now =
        LineForDisplay({line.path, line.section, line.key, value.has_value(), value.value_or("")});
    rows.push_back({SettingOf(line), now, now});
  }
  return rows;
}

std::vector<ChangedValue> TargetsOf(const Change& change) {
  EveryValueRegistry registry;
  NoProfileStrings ini;
  std::vector<ChangedValue> targets;
  for (const SavedValue& value : PlanChange(registry, ini, change).valuesNow) {
    targets.push_back(value.target);
  }
  return targets;
}

SettingsBackup BackupFromPlan(const ChangePlan& plan, const std::string& before) {
  return SettingsBackup{TakenNow(), before, plan.valuesNow, plan.linesNow, {}, {}};
}

void BackUpAndApply(RegistryApi& live, ProfileStringApi& ini, const std::string& programDir,
                    const std::string& before, const Change& change) {
  if (!programDir.empty()) {
    const ChangePlan plan = PlanChange(live, ini, change);
    SaveBackup(programDir, BackupFromPlan(plan, before));
  }
  change(live, ini);
}

void RestoreSettings(const SettingsBackup& backup, RegistryApi& registry, ProfileStringApi& ini) {
  for (const SavedValue& value : backup.values) {
    const ChangedValue& target = value.target;
    RegKey key = 0;
    long status = value.present
                      ? registry.CreateKey(target.root, target.keyPath, kKeyAllAccess, &key)
                      : registry.OpenKey(target.root, target.keyPath, kKeyAllAccess, &key);
    if (!value.present && status == kErrorFileNotFound) continue;  // no key, no value
    if (status == kErrorSuccess) {
      const auto* bytes = reinterpret_cast<const std::uint8_t*>(value.data.data());
      const auto size = static_cast<std::uint32_t>(value.data.size());
      status = value.present ? registry.SetValue(key, target.name, value.type, bytes, size)
                             : registry.DeleteValue(key, target.name);
      if (!IsPredefinedRoot(key)) registry.CloseKey(key);
    }
    if (status == kErrorSuccess || (!value.present && status == kErrorFileNotFound)) continue;
    throw ERegistryException((value.present ? "Failed to set data for '" : "Failed to delete '") +
                             target.name + "'");
  }
  for (const SavedIniLine& line : backup.iniLines) {
    const bool done = line.present ? ini.WriteString(line.section, line.key, line.value, line.path)
                                   : ini.DeleteString(line.section, line.key, line.path);
    if (!done) throw EIniFileException("Unable to write to " + line.path);
  }
}

std::string DataForDisplay(const SavedValue& value) {
  if (!value.present) return "not set";
  const std::string& data = value.data;
  if (value.type == kRegSz || value.type == kRegExpandSz) {
    const std::size_t end = data.find('\0');
    return end == std::string::npos ? data : data.substr(0, end);
  }
  if (value.type == kRegDword && data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<std::uint8_t>(data[i]);
    return std::to_string(number);
  }
  std::string text;
  for (std::size_t i = 0; i < data.size(); ++i) {
    text += (i ? " " : "") + HexText(static_cast<std::uint8_t>(data[i]), 2, true);
  }
  return text.empty() ? "(empty)" : text;
}

std::string ChangesHeadline(const std::string& what, std::size_t rowCount) {
  if (rowCount == 0) {
    return what + " changes nothing: every setting already has the value it would get.";
  }
  return what + " will change " + std::to_string(rowCount) +
         (rowCount == 1 ? " setting:" : " settings:");
}

std::string ChangesAsText(const std::vector<ChangeRow>& rows) {
  std::string text = "Setting\tNow\tAfter\r\n";
  for (const ChangeRow& row : rows)
    text += row.setting + "\t" + row.now + "\t" + row.after + "\r\n";
  return text;
}

}  // namespace veltrano
