// Profile files: which file a connection type selects, and the work file that holds
// a descrambled profile while a run reads it.
#pragma once

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "platform/files.h"

namespace veltrano {

enum class ProfileSet { kOptimization, kDefaults };  // folders VLO and VLU

inline constexpr int kWindowsDefaultsType = 7;

inline constexpr char kMissingFileMessage[] =
    "A required file cannot be found.\r\nPlease reinstall the application.";

// A profile (or work file) that cannot be opened. The window that runs the profile
// turns it into the warning box and ends the program; nothing has been written then.
class MissingProfileFile : public std::exception {
 public:
  explicit MissingProfileFile(std::string path) : path_(std::move(path)) {}
  const char* what() const noexcept override { return kMissingFileMessage; }
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

// Types 1 to 6: descrambles the selected profile into a new work file and hands it back
// open at its start, so that the run reads exactly what it wrote. MissingProfileFile
// when the profile cannot be opened or read (or the type selects no file); EInOutError
// "Cannot create file ..." when the work file cannot be made or an earlier one replaced.
FileHandle DescrambleToWorkFile(const ProfilePlaces& places, ProfileSet set, int type);

// Type 7: delete the work file (EInOutError "File not found" when there is none). Other
// types: DescrambleToWorkFile, the file closed again.
void PrepareWorkFile(const ProfilePlaces& places, ProfileSet set, int type);

// Opens a file named by its Windows path for reading bytes; null when it cannot.
FileHandle OpenForReading(const std::string& windowsPath);

}  // namespace veltrano
