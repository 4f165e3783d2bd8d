#include "platform/registry.h"

#include <vector>

#include "platform/errors.h"

namespace veltrano {
namespace {

std::string Quoted(const char* prefix, const std::string& name) {
  return std::string(prefix) + " '" + name + "'";
}

}  // namespace

TRegistry::TRegistry(RegistryApi& api, std::uint32_t access) : api_(api), access_(access) {}

TRegistry::TRegistry(std::uint32_t access) : TRegistry(SystemRegistry(), access) {}

TRegistry::~TRegistry() {
  CloseCurrent();
}

void TRegistry::SelectRoot(RegKey root) {
  if (root == root_) return;
  CloseCurrent();
  root_ = root;
}

bool TRegistry::OpenPath(const std::string& path, bool create) {
  const bool absolute = !path.empty() && path.front() == '\\';
  const std::string rest = absolute ? path.substr(1) : path;
  const bool underOpenKey = !absolute && current_ != 0;
  const RegKey parent = underOpenKey ? current_ : root_;

  RegKey opened = 0;
  const long status = (create && !rest.empty()) ? api_.CreateKey(parent, rest, access_, &opened)
                                                : api_.OpenKey(parent, rest, access_, &opened);
  lastOpenStatus_ = status;
  if (status != kErrorSuccess) return false;

  std::string newPath = underOpenKey ? currentPath_ + "\\" + rest : rest;
  CloseCurrent();
  current_ = opened;
  currentPath_ = std::move(newPath);
  return true;
}

void TRegistry::CloseCurrent() {
  if (current_ != 0) api_.CloseKey(current_);
  current_ = 0;
  currentPath_.clear();
}

void TRegistry::WriteValue(const std::string& name, std::uint32_t type, const std::uint8_t* data,
                           std::uint32_t size) {
  // With no key open there is nowhere to write: the same refusal as the system's.
  if (current_ == 0 || api_.SetValue(current_, name, type, data, size) != kErrorSuccess) {
    throw ERegistryException(Quoted("Failed to set data for", name));
  }
}

void TRegistry::WriteText(const std::string& name, const std::string& text) {
  WriteValue(name, kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
             static_cast<std::uint32_t>(text.size() + 1));
}

void TRegistry::WriteNumber(const std::string& name, std::uint32_t value) {
  const std::uint8_t bytes[4] = {
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  WriteValue(name, kRegDword, bytes, sizeof bytes);
}

void TRegistry::WriteBlock(const std::string& name, const void* bytes, std::uint32_t count) {
  WriteValue(name, kRegBinary, static_cast<const std::uint8_t*>(bytes), count);
}

std::string TRegistry::ReadText(const std::string& name) {
  if (current_ == 0) return std::string();
  std::uint32_t type = kRegNone;
  std::uint32_t size = 0;
  if (api_.QueryValue(current_, name, &type, nullptr, &size) != kErrorSuccess || size == 0) {
    return std::string();
  }
  std::vector<std::uint8_t> data(size);
  if (api_.QueryValue(current_, name, &type, data.data(), &size) != kErrorSuccess) {
    throw ERegistryException(Quoted("Failed to get data for", name));
  }
  if (type != kRegSz && type != kRegExpandSz) {
    throw ERegistryException(Quoted("Invalid data type for", name));
  }
  data.resize(size);
  std::string text(data.begin(), data.end());
  return text.substr(0, text.find('\0'));
}

bool TRegistry::RemoveValue(const std::string& name) {
  return current_ != 0 && api_.DeleteValue(current_, name) == kErrorSuccess;
}

void TRegistry::RemoveValueChecked(const std::string& name) {
  const long status = current_ != 0 ? api_.DeleteValue(current_, name) : lastOpenStatus_;
  if (status != kErrorSuccess && status != kErrorFileNotFound) {
    throw ERegistryException(Quoted("Failed to delete", name));
  }
}

}  // namespace veltrano
