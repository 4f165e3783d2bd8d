#include <windows.h>

#include "platform/ini_file.h"

#include <vector>

namespace veltrano {
namespace {

class Win32ProfileStrings : public ProfileStringApi {
 public:
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
           FALSE;
  }

  std::optional<std::string> ReadString(const std::string& section, const std::string& key,
                                        const std::string& path) override {
    // A default no INI line can hold tells an absent entry from an empty one; on the NT
    // family this also reads the entries the system keeps in the registry instead.
    static const char kAbsent[] =
        "\x01"
        "absent"
        "\x01";
    std::vector<char> text(4096);
    const DWORD copied =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, text.data(),
                                 static_cast<DWORD>(text.size()), path.c_str());
    const std::string value(text.data(), copied);
    if (value == kAbsent) return std::nullopt;
    return value;
  }

  bool DeleteString(const std::string& section, const std::string& key,
                    const std::string& path) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, path.c_str()) != FALSE;
  }
};

}  // namespace

ProfileStringApi& SystemProfileStrings() {
  static Win32ProfileStrings profiles;
  return profiles;
}

}  // namespace veltrano
