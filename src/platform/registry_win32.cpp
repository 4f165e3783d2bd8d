// The registry store's seam over the six registry functions of advapi32.
#include <windows.h>

#include "platform/registry_api.h"

namespace veltrano {
namespace {

// The predefined roots are sign-extended 32-bit values in a 64-bit HKEY.
HKEY ToHkey(RegKey key) {
  if (IsPredefinedRoot(key)) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(key)));
  }
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(key));
}

RegKey FromHkey(HKEY key) {
  const auto asRoot = static_cast<RegKey>(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(key)));
  if (IsPredefinedRoot(asRoot) && ToHkey(asRoot) == key) return asRoot;
  return static_cast<RegKey>(reinterpret_cast<ULONG_PTR>(key));
}

class Win32Registry : public RegistryApi {
 public:
  long OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
               RegKey* result) override {
    HKEY opened = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, access, &opened);
    *result = status == ERROR_SUCCESS ? FromHkey(opened) : 0;
    return status;
  }

  long CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                 RegKey* result) override {
    HKEY created = nullptr;
    const LONG status = RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr, 0, access,
                                        nullptr, &created, nullptr);
    *result = status == ERROR_SUCCESS ? FromHkey(created) : 0;
    return status;
  }

  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::uint32_t size) override {
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
  }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                  std::uint32_t* size) override {
    DWORD valueType = 0;
    DWORD valueSize = size ? *size : 0;
    const LONG status = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data,
                                         size ? &valueSize : nullptr);
    if (type) *type = valueType;
    if (size) *size = valueSize;
    return status;
  }

  long DeleteValue(RegKey key, const std::string& name) override {
    return RegDeleteValueA(ToHkey(key), name.c_str());
  }

  long CloseKey(RegKey key) override { return RegCloseKey(ToHkey(key)); }

  long EnumKey(RegKey key, std::uint32_t index, std::string* name) override {
    char buffer[MAX_PATH];  // key names are at most 255 characters
    const LONG status = RegEnumKeyA(ToHkey(key), index, buffer, sizeof buffer);
    if (status == ERROR_SUCCESS) *name = buffer;
    return status;
  }
};

}  // namespace

RegistryApi& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace veltrano
