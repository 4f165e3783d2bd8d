// Profile files: which file a connection type selects, and the work file that holds
// a descrambled profile while a run reads it.
#pragma once

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace veltrano {

enum class ProfileSet { kOptimization, kDefaults };  // folders VLO and VLU

inline constexpr int kWindowsDefaultsType = 7;

inline constexpr char kMissingFileMessage[] =
    "A required file cannot be found.\r\nPlease reinstall the application.";

// A profile (or work file) that cannot be opened. The window that runs the profile
// turns it into the warning box and ends the program; nothing has been written then.
class MissingProfileFile : public std::runtime_error {
 public:
  explicit MissingProfileFile(std::string path)
      : std::runtime_error(kMissingFileMessage), path_(std::move(path)) {}
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Where the profile files and the work file live. programDir ends with a backslash,
// windowsDir does not.
struct ProfilePlaces {
  std::string programDir;
  std::string windowsDir;
  std::string osSuffix;  // "" on the 9x family, "2k" on the NT family
};

const char* SetFolder(ProfileSet set);     // "VLO" / "VLU"
const char* SetExtension(ProfileSet set);  // ".vlo" / ".vlu"
// "modem56k", ... for types 1 to 6; empty for every other type.
std::string ProfileStem(int type);
// Empty when the type selects no file.
std::string ProfileFilePath(const ProfilePlaces& places, ProfileSet set, int type);
std::string WorkFilePath(const std::string& windowsDir);

// Types 1 to 6: descramble the selected profile into the work file (MissingProfileFile
// when it cannot be opened or read). Type 7: delete the work file (EInOutError "File
// not found" when there is none). Any other type selects no file: MissingProfileFile.
void PrepareWorkFile(const ProfilePlaces& places, ProfileSet set, int type);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file named by its Windows path for reading bytes; null when it cannot.
FileHandle OpenForReading(const std::string& windowsPath);

}  // namespace veltrano
