#include "engine/profile_plan.h"

#include <cstdio>
#include <exception>

#include "engine/script.h"
#include "platform/convert.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

std::string HexBytes(const std::uint8_t* data, std::uint32_t size) {
  std::string text;
  for (std::uint32_t i = 0; i < size; ++i) text += (i == 0 ? "" : ",") + HexText(data[i], 2, true);
  return text;
}

}  // namespace

const char* RegistryRootName(RegKey key) {
  switch (key) {
    case kHkeyClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case kHkeyCurrentUser:
      return "HKEY_CURRENT_USER";
    case kHkeyLocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case kHkeyUsers:
      return "HKEY_USERS";
    default:
      return nullptr;
  }
}

std::string DescribeValueData(std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
  if (type == kRegSz) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return "REG_SZ \"" + text + "\"";
  }
  if (type == kRegDword && size == 4) {
    const std::uint32_t number =
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    return "REG_DWORD 0x" + HexText(number, 8, true) + " (" + std::to_string(number) + ")";
  }
  if (type == kRegBinary) return "REG_BINARY " + HexBytes(data, size);
  return "type " + std::to_string(type) + " " + HexBytes(data, size);
}

bool RecordingRegistry::Find(RegKey key, OpenedKey& opened) const {
  if (RegistryRootName(key)) {
    opened = OpenedKey{key, ""};
    return true;
  }
  const auto found = openKeys_.find(key);
  if (found == openKeys_.end()) return false;
  opened = found->second;
  return true;
}

std::string RecordingRegistry::Describe(const OpenedKey& opened) {
  std::string path = RegistryRootName(opened.root);
  if (!opened.keyPath.empty()) path += "\\" + opened.keyPath;
  return path;
}

long RecordingRegistry::OpenKey(RegKey parent, const std::string& subKey, std::uint32_t,
                                RegKey* result) {
  OpenedKey opened;
  if (!Find(parent, opened)) return kErrorInvalidHandle;
  if (!subKey.empty()) opened.keyPath += (opened.keyPath.empty() ? "" : "\\") + subKey;
  *result = nextHandle_++;
  openKeys_[*result] = opened;
  steps_.push_back("open   " + Describe(opened));
  return kErrorSuccess;
}

long RecordingRegistry::CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                                  RegKey* result) {
  return OpenKey(parent, subKey, access, result);
}

long RecordingRegistry::Touch(RegKey key, const std::string& name, const std::string& step) {
  OpenedKey opened;
  if (key == 0 || !Find(key, opened)) return kErrorInvalidHandle;
  steps_.push_back(step);
  if (targets_) targets_->push_back(ChangedValue{opened.root, opened.keyPath, name});
  return kErrorSuccess;
}

long RecordingRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                 const std::uint8_t* data, std::uint32_t size) {
  return Touch(key, name, "write  \"" + name + "\" " + DescribeValueData(type, data, size));
}

long RecordingRegistry::QueryValue(RegKey, const std::string&, std::uint32_t*, std::uint8_t*,
                                   std::uint32_t*) {
  return kErrorFileNotFound;  // nothing is stored
}

long RecordingRegistry::DeleteValue(RegKey key, const std::string& name) {
  return Touch(key, name, "delete \"" + name + "\"");
}

long RecordingRegistry::CloseKey(RegKey key) {
  return openKeys_.erase(key) > 0 ? kErrorSuccess : kErrorInvalidHandle;
}

ProfilePlan PlanScript(ByteSource& source, ScriptMode startMode,
                       std::vector<ChangedValue>* targets) {
  ProfilePlan plan;
  RecordingRegistry recorder(plan.steps, targets);
  ScriptReader reader(source);
  try {
    TRegistry registry(recorder);
    ApplyScript(reader, registry, startMode);
  } catch (const std::exception& error) {
    plan.error = error.what();
    plan.errorLine = reader.LineNumber();
  }
  return plan;
}

}  // namespace veltrano
