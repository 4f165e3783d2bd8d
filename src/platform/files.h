// File helpers shared by the runs. Program paths are Windows paths joined with "\";
// natively they are mapped onto the host's separators.
#pragma once

#include <string>

namespace veltrano {

std::string NativePath(const std::string& windowsPath);

// Deletes a file; a missing file raises EInOutError "File not found".
void DeleteFileChecked(const std::string& windowsPath);

// Directory part of a full path, with its trailing backslash ("C:\P\x.exe" -> "C:\P\").
std::string DirectoryOf(const std::string& fullPath);

}  // namespace veltrano
