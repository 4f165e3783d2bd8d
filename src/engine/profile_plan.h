// The registry operations a profile performs, in order, found by running the very same
// line application as the program against a registry that records instead of storing.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "engine/apply.h"
#include "platform/registry_api.h"

namespace veltrano {

class ByteSource;

// A value a run writes or removes: its root key, the key's path below the root and its name.
struct ChangedValue {
  RegKey root = 0;
  std::string keyPath;
  std::string name;
  bool operator==(const ChangedValue&) const = default;
};

// A registry in which every key exists or can be made and every write succeeds; it
// writes down each key opened, value written and value deleted, and, when asked, each
// value written or deleted as a target. A write to a handle it never handed out is
// refused, as Windows refuses it.
class RecordingRegistry : public RegistryApi {
 public:
  explicit RecordingRegistry(std::vector<std::string>& steps,
                             std::vector<ChangedValue>* targets = nullptr)
      : steps_(steps), targets_(targets) {}

  long OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
               RegKey* result) override;
  long CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                 RegKey* result) override;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long CloseKey(RegKey key) override;

 private:
  struct OpenedKey {
    RegKey root;
    std::string keyPath;  // below the root, "" for the root itself
  };
  bool Find(RegKey key, OpenedKey& opened) const;
  static std::string Describe(const OpenedKey& opened);
  long Touch(RegKey key, const std::string& name, const std::string& step);

  std::vector<std::string>& steps_;
  std::vector<ChangedValue>* targets_;
  std::map<RegKey, OpenedKey> openKeys_;
  RegKey nextHandle_ = 0x1000;
};

struct ProfilePlan {
  std::vector<std::string> steps;
  std::string error;  // the error that stops the program at that line, if any
  std::size_t errorLine = 0;
};

// Every value the script writes or removes goes to `targets` too, when given.
ProfilePlan PlanScript(ByteSource& source, ScriptMode startMode,
                       std::vector<ChangedValue>* targets = nullptr);

// "HKEY_LOCAL_MACHINE", ...; null for a key that is no predefined root.
const char* RegistryRootName(RegKey key);

// "REG_SZ \"text\"", "REG_DWORD 0x000010C0 (4288)", "REG_BINARY 1F".
std::string DescribeValueData(std::uint32_t type, const std::uint8_t* data, std::uint32_t size);

}  // namespace veltrano
