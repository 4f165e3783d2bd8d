#include <windows.h>

#include "platform/ini_file.h"

namespace veltrano {
namespace {

class Win32ProfileStrings : public ProfileStringApi {
 public:
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
           FALSE;
  }
};

}  // namespace

ProfileStringApi& SystemProfileStrings() {
  static Win32ProfileStrings profiles;
  return profiles;
}

}  // namespace veltrano
