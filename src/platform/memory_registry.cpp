#include "platform/memory_registry.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace veltrano {
namespace {

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FoldCase(const std::string& text) {
  std::string folded(text);
  std::transform(folded.begin(), folded.end(), folded.begin(), LowerAscii);
  return folded;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

// Registry paths skip empty parts: "A\\B\" names the same key as "A\B".
std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

bool AsksToWrite(std::uint32_t access) {
  return (access & (kKeySetValue | kKeyCreateSubKey)) != 0;
}

constexpr long kErrorInvalidParameter = 87;
constexpr RegKey kFirstRoot = 0x80000000u;
constexpr RegKey kLastRoot = 0x80000006u;

}  // namespace

std::string RegistryValue::Text() const {
  const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
  return std::string(data.begin(), end);
}

struct MemoryRegistry::Node {
  std::string name;
  bool writeDenied = false;
  bool deleted = false;
  std::map<std::string, NodePtr> children;  // by folded name
  std::vector<RegistryValue> values;        // in order of first write

  RegistryValue* FindValue(const std::string& valueName) {
    for (auto& value : values) {
      if (SameName(value.name, valueName)) return &value;
    }
    return nullptr;
  }

  // A write keeps the name the value was first written with.
  void Store(const std::string& valueName, std::uint32_t type, std::vector<std::uint8_t> data) {
    if (RegistryValue* existing = FindValue(valueName)) {
      existing->type = type;
      existing->data = std::move(data);
    } else {
      values.push_back(RegistryValue{valueName, type, std::move(data)});
    }
  }

  void MarkDeleted() {
    deleted = true;
    for (auto& [folded, child] : children) child->MarkDeleted();
  }
};

MemoryRegistry::MemoryRegistry() {
  for (RegKey root = kFirstRoot; root <= kLastRoot; ++root) roots_[root] = std::make_shared<Node>();
}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistry::NodePtr MemoryRegistry::RootNode(RegKey root) const {
  const auto found = roots_.find(root);
  return found == roots_.end() ? nullptr : found->second;
}

MemoryRegistry::NodePtr MemoryRegistry::NodeOf(RegKey key, long* status) const {
  *status = kErrorSuccess;
  if (IsPredefinedRoot(key)) return RootNode(key);
  const auto found = handles_.find(key);
  if (found == handles_.end()) {
    *status = kErrorInvalidHandle;
    return nullptr;
  }
  if (found->second.node->deleted) {
    *status = kErrorKeyDeleted;
    return nullptr;
  }
  return found->second.node;
}

MemoryRegistry::NodePtr MemoryRegistry::Find(const NodePtr& from, const std::string& path) const {
  NodePtr node = from;
  for (const auto& part : SplitPath(path)) {
    const auto found = node->children.find(FoldCase(part));
    if (found == node->children.end()) return nullptr;
    node = found->second;
  }
  return node;
}

MemoryRegistry::NodePtr MemoryRegistry::FindOrCreate(const NodePtr& from, const std::string& path,
                                                     bool checkDenial, std::uint32_t access,
                                                     long* status) {
  *status = kErrorSuccess;
  NodePtr node = from;
  for (const auto& part : SplitPath(path)) {
    const std::string folded = FoldCase(part);
    auto found = node->children.find(folded);
    if (found == node->children.end()) {
      if (checkDenial && node->writeDenied) {
        *status = kErrorAccessDenied;
        return nullptr;
      }
      auto child = std::make_shared<Node>();
      child->name = part;
      found = node->children.emplace(folded, std::move(child)).first;
    }
    node = found->second;
  }
  if (checkDenial && node->writeDenied && AsksToWrite(access)) {
    *status = kErrorAccessDenied;
    return nullptr;
  }
  return node;
}

RegKey MemoryRegistry::NewHandle(NodePtr node, std::uint32_t access) {
  const RegKey key = nextHandle_;
  nextHandle_ += 4;
  handles_[key] = Handle{std::move(node), access};
  return key;
}

long MemoryRegistry::Open(RegKey parent, const std::string& subKey, std::uint32_t access,
                          bool create, RegKey* result) {
  *result = 0;
  long status = kErrorSuccess;
  const NodePtr from = NodeOf(parent, &status);
  if (!from) return status;
  if (!subKey.empty() && subKey.front() == '\\') return kErrorBadPathname;
  if (subKey.empty() && IsPredefinedRoot(parent)) {
    *result = parent;
    return kErrorSuccess;
  }
  NodePtr node;
  if (create) {
    node = FindOrCreate(from, subKey, true, access, &status);
  } else {
    node = Find(from, subKey);
    if (!node) status = kErrorFileNotFound;
    if (node && node->writeDenied && AsksToWrite(access)) status = kErrorAccessDenied;
  }
  if (status != kErrorSuccess) return status;
  *result = NewHandle(std::move(node), access);
  return kErrorSuccess;
}

long MemoryRegistry::OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                             RegKey* result) {
  return Open(parent, subKey, access, false, result);
}

long MemoryRegistry::CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                               RegKey* result) {
  return Open(parent, subKey, access, true, result);
}

MemoryRegistry::NodePtr MemoryRegistry::WritableNode(RegKey key, long* status) const {
  NodePtr node = NodeOf(key, status);
  if (!node || IsPredefinedRoot(key)) return node;
  if ((handles_.at(key).access & kKeySetValue) == 0) {
    *status = kErrorAccessDenied;
    return nullptr;
  }
  return node;
}

long MemoryRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) {
  long status = kErrorSuccess;
  const NodePtr node = WritableNode(key, &status);
  if (!node) return status;
  node->Store(name, type, std::vector<std::uint8_t>(data, data + (data ? size : 0)));
  return kErrorSuccess;
}

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* size) {
  long status = kErrorSuccess;
  const NodePtr node = NodeOf(key, &status);
  if (!node) return status;
  const RegistryValue* value = node->FindValue(name);
  if (!value) return kErrorFileNotFound;
  if (type) *type = value->type;
  const auto actual = static_cast<std::uint32_t>(value->data.size());
  if (!size) return data ? kErrorInvalidParameter : kErrorSuccess;
  if (data && *size < actual) {
    *size = actual;
    return kErrorMoreData;
  }
  if (data && actual > 0) std::memcpy(data, value->data.data(), actual);
  *size = actual;
  return kErrorSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
  long status = kErrorSuccess;
  const NodePtr node = WritableNode(key, &status);
  if (!node) return status;
  auto& values = node->values;
  const auto found = std::find_if(values.begin(), values.end(), [&](const RegistryValue& value) {
    return SameName(value.name, name);
  });
  if (found == values.end()) return kErrorFileNotFound;
  values.erase(found);
  return kErrorSuccess;
}

long MemoryRegistry::CloseKey(RegKey key) {
  if (IsPredefinedRoot(key)) return kErrorSuccess;
  return handles_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

void MemoryRegistry::DenyWrite(RegKey root, const std::string& path) {
  long status = kErrorSuccess;
  FindOrCreate(RootNode(root), path, false, 0, &status)->writeDenied = true;
}

void MemoryRegistry::AllowWrite(RegKey root, const std::string& path) {
  if (NodePtr node = Find(RootNode(root), path)) node->writeDenied = false;
}

void MemoryRegistry::PutValue(RegKey root, const std::string& path, const std::string& name,
                              std::uint32_t type, const std::vector<std::uint8_t>& data) {
  long status = kErrorSuccess;
  FindOrCreate(RootNode(root), path, false, 0, &status)->Store(name, type, data);
}

void MemoryRegistry::PutText(RegKey root, const std::string& path, const std::string& name,
                             const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  PutValue(root, path, name, kRegSz, bytes);
}

void MemoryRegistry::PutNumber(RegKey root, const std::string& path, const std::string& name,
                               std::uint32_t value) {
  PutValue(root, path, name, kRegDword,
           {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

bool MemoryRegistry::KeyExists(RegKey root, const std::string& path) const {
  const NodePtr from = RootNode(root);
  return from && Find(from, path) != nullptr;
}

std::optional<RegistryValue> MemoryRegistry::GetValue(RegKey root, const std::string& path,
                                                      const std::string& name) const {
  const NodePtr from = RootNode(root);
  const NodePtr node = from ? Find(from, path) : nullptr;
  if (!node) return std::nullopt;
  const RegistryValue* value = node->FindValue(name);
  if (!value) return std::nullopt;
  return *value;
}

std::vector<RegistryValue> MemoryRegistry::Values(RegKey root, const std::string& path) const {
  const NodePtr from = RootNode(root);
  const NodePtr node = from ? Find(from, path) : nullptr;
  return node ? node->values : std::vector<RegistryValue>{};
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, std::string* name) {
  long status = kErrorSuccess;
  const NodePtr node = NodeOf(key, &status);
  if (!node) return status;
  // By folded name, as Windows lists them sorted.
  if (index >= node->children.size()) return kErrorNoMoreItems;
  *name = std::next(node->children.begin(), index)->second->name;
  return kErrorSuccess;
}

std::vector<std::string> MemoryRegistry::SubKeyNames(RegKey root, const std::string& path) const {
  std::vector<std::string> names;
  const NodePtr from = RootNode(root);
  const NodePtr node = from ? Find(from, path) : nullptr;
  if (node) {
    for (const auto& [folded, child] : node->children) names.push_back(child->name);
  }
  return names;
}

bool MemoryRegistry::DeleteTree(RegKey root, const std::string& path) {
  const auto parts = SplitPath(path);
  const NodePtr from = RootNode(root);
  if (!from || parts.empty()) return false;
  std::string parentPath;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) parentPath += parts[i] + "\\";
  const NodePtr parent = Find(from, parentPath);
  if (!parent) return false;
  const auto found = parent->children.find(FoldCase(parts.back()));
  if (found == parent->children.end()) return false;
  found->second->MarkDeleted();
  parent->children.erase(found);
  return true;
}

}  // namespace veltrano
