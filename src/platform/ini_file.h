// The INI writer: one WritePrivateProfileStringA call per entry, nothing cached.
#pragma once

#include <optional>
#include <string>

namespace veltrano {

// Seam over WritePrivateProfileStringA. Returns false when the system refuses.
class ProfileStringApi {
 public:
  virtual ~ProfileStringApi() = default;
  virtual bool WriteString(const std::string& section, const std::string& key,
                           const std::string& value, const std::string& path) = 0;
  // GetPrivateProfileStringA: the entry's text, or nullopt when it is not there.
  virtual std::optional<std::string> ReadString(const std::string& section, const std::string& key,
                                                const std::string& path) = 0;
  // WritePrivateProfileStringA without a value: the entry is removed.
  virtual bool DeleteString(const std::string& section, const std::string& key,
                            const std::string& path) = 0;
};

// WritePrivateProfileStringA on Windows. Natively there is none.
ProfileStringApi& SystemProfileStrings();

class TIniFile {
 public:
  TIniFile(ProfileStringApi& api, std::string path);
  explicit TIniFile(std::string path);  // uses SystemProfileStrings()
  const std::string& FileName() const { return path_; }
  // Raises EIniFileException "Unable to write to <path>" when the system refuses.
  void WriteEntry(const std::string& section, const std::string& key, const std::string& value);

 private:
  ProfileStringApi& api_;
  std::string path_;
};

}  // namespace veltrano
