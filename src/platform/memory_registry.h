// An in-memory registry that answers like the Windows registry functions, for builds
// without a registry and for tests. Key and value names compare without regard to
// (ASCII) case, a write replaces any value of the same name, handles stay valid until
// they are closed, and the status codes are the Win32 ones.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace veltrano {

struct RegistryValue {
  std::string name;
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;

  // The data as text, cut at its first zero byte.
  std::string Text() const;
};

class MemoryRegistry : public RegistryApi {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

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
  long EnumKey(RegKey key, std::uint32_t index, std::string* name) override;

  // --- Planting and inspection, by root and a path without a leading backslash. ---

  // Works like a key whose access list denies writing: opening or creating it with any
  // write right fails with access denied, and so does creating a missing key below it.
  void DenyWrite(RegKey root, const std::string& path);
  void AllowWrite(RegKey root, const std::string& path);

  // Creates the key and any missing key on the way; ignores write denial.
  void PutValue(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data);
  void PutText(RegKey root, const std::string& path, const std::string& name,
               const std::string& text);  // REG_SZ with its terminating zero
  void PutNumber(RegKey root, const std::string& path, const std::string& name,
                 std::uint32_t value);

  bool KeyExists(RegKey root, const std::string& path) const;
  std::optional<RegistryValue> GetValue(RegKey root, const std::string& path,
                                        const std::string& name) const;
  // Values in the order they were first written; empty for a missing key.
  std::vector<RegistryValue> Values(RegKey root, const std::string& path) const;
  // Names as first created, sorted without regard to case.
  std::vector<std::string> SubKeyNames(RegKey root, const std::string& path) const;
  // Removes the key with everything below it; open handles to it then fail.
  bool DeleteTree(RegKey root, const std::string& path);

  // Handles handed out and not yet closed (leak checks).
  std::size_t OpenHandleCount() const { return handles_.size(); }

 private:
  struct Node;
  using NodePtr = std::shared_ptr<Node>;
  struct Handle {
    NodePtr node;
    std::uint32_t access = 0;
  };

  NodePtr RootNode(RegKey root) const;
  NodePtr NodeOf(RegKey key, long* status) const;
  NodePtr Find(const NodePtr& from, const std::string& path) const;
  NodePtr FindOrCreate(const NodePtr& from, const std::string& path, bool checkDenial,
                       std::uint32_t access, long* status);
  long Open(RegKey parent, const std::string& subKey, std::uint32_t access, bool create,
            RegKey* result);
  RegKey NewHandle(NodePtr node, std::uint32_t access);
  NodePtr WritableNode(RegKey key, long* status) const;

  std::map<RegKey, NodePtr> roots_;
  std::map<RegKey, Handle> handles_;
  RegKey nextHandle_ = 0x1000;
};

}  // namespace veltrano
