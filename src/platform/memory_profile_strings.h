// An in-memory stand-in for WritePrivateProfileStringA: INI files kept as sections of
// entries in the order they were first written. Section and key names compare without
// regard to (ASCII) case, and so do paths, as on Windows.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ini_file.h"

namespace veltrano {

class MemoryProfileStrings : public ProfileStringApi {
 public:
  struct Entry {
    std::string key;
    std::string value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  // One call as it was made, refused or not.
  struct Call {
    std::string section;
    std::string key;
    std::string value;
    std::string path;
    bool accepted = false;
  };

  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& path) override;
  std::optional<std::string> ReadString(const std::string& section, const std::string& key,
                                        const std::string& path) override {
    return Read(path, section, key);
  }
  bool DeleteString(const std::string& section, const std::string& key,
                    const std::string& path) override;

  // Writes into this folder fail, as they do when the folder does not exist.
  void MarkFolderMissing(const std::string& folder);

  std::optional<std::string> Read(const std::string& path, const std::string& section,
                                  const std::string& key) const;
  std::vector<Section> Sections(const std::string& path) const;
  // The file as the system would write it: "[Section]" and "key=value" lines, CR LF.
  std::string Render(const std::string& path) const;
  const std::vector<Call>& Calls() const { return calls_; }

 private:
  bool FolderMissing(const std::string& path) const;

  std::map<std::string, std::vector<Section>> files_;  // by folded path
  std::set<std::string> missingFolders_;               // folded, with a trailing "\"
  std::vector<Call> calls_;
};

}  // namespace veltrano
