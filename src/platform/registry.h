// The registry store: every registry read, write and delete of the program goes
// through one short-lived TRegistry made inside the handler that needs it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry_api.h"

namespace veltrano {

class TRegistry {
 public:
  explicit TRegistry(RegistryApi& api, std::uint32_t access = kKeyAllAccess);
  // Uses SystemRegistry().
  explicit TRegistry(std::uint32_t access = kKeyAllAccess);
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Selecting the root already selected keeps the open key open.
  void SelectRoot(RegKey root);
  RegKey Root() const { return root_; }

  // "\x" is absolute from the root, anything else relative to the open key. On
  // failure the previously open key stays open and current. Never raises.
  bool OpenPath(const std::string& path, bool create);
  // The system's status of the last OpenPath: kErrorAccessDenied tells a key that is
  // there but refused from one that is missing.
  long LastOpenStatus() const { return lastOpenStatus_; }
  void CloseCurrent();
  bool HasCurrentKey() const { return current_ != 0; }
  const std::string& CurrentPath() const { return currentPath_; }

  // Refused writes raise ERegistryException "Failed to set data for '<name>'".
  void WriteText(const std::string& name, const std::string& text);
  void WriteNumber(const std::string& name, std::uint32_t value);
  void WriteBlock(const std::string& name, const void* bytes, std::uint32_t count);

  // A missing value or one of size 0 reads as "".
  std::string ReadText(const std::string& name);
  bool RemoveValue(const std::string& name);
  // Removes a value that may be missing: raises ERegistryException "Failed to delete
  // '<name>'" when the system refuses it, or when no key is open because it was refused.
  void RemoveValueChecked(const std::string& name);

 private:
  void WriteValue(const std::string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size);

  RegistryApi& api_;
  std::uint32_t access_;
  RegKey root_ = kHkeyCurrentUser;
  RegKey current_ = 0;
  std::string currentPath_;
  long lastOpenStatus_ = kErrorSuccess;
};

}  // namespace veltrano
