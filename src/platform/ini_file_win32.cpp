#include <windows.h>

#include "platform/errors.h"
#include "platform/ini_file.h"
#include "platform/system_root.h"
#include "platform/win32_handle.h"

#include <vector>

namespace veltrano {
namespace {

constexpr DWORD kLongestRead = 64 * 1024;

// The system answers "no such line" also for a file it cannot open (locked, no rights):
// that must not pass for a file without the line.
void ThrowWhenUnreadable(const std::string& path) {
  const UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
  std::string reason = SystemLastErrorText();
  if (!reason.empty() && reason.back() == '.') reason.pop_back();  // the message goes on
  throw EIniFileException("Cannot read " + path + ": " + reason);
}

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
    // A text that fills the buffer may have been cut short: read it again into a larger one.
    for (DWORD size = 4096; size <= kLongestRead; size *= 2) {
      std::vector<char> text(size);
      const DWORD copied = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent,
                                                    text.data(), size, path.c_str());
      if (copied + 1 >= size) continue;
      const std::string value(text.data(), copied);
      if (value != kAbsent) return value;
      ThrowWhenUnreadable(path);
      return std::nullopt;
    }
    throw EIniFileException("The line " + key + " in " + path + " is longer than " +
                            std::to_string(kLongestRead / 1024) + " KB");
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
