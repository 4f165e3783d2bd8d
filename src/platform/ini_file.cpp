#include "platform/ini_file.h"

#include "platform/errors.h"

namespace veltrano {

TIniFile::TIniFile(ProfileStringApi& api, std::string path) : api_(api), path_(std::move(path)) {}

TIniFile::TIniFile(std::string path) : TIniFile(SystemProfileStrings(), std::move(path)) {}

void TIniFile::WriteEntry(const std::string& section, const std::string& key,
                          const std::string& value) {
  if (!api_.WriteString(section, key, value, path_)) {
    throw EIniFileException("Unable to write to " + path_);
  }
}

}  // namespace veltrano
