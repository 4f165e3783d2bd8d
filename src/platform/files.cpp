#include "platform/files.h"

#include <filesystem>
#include <system_error>

#include "platform/errors.h"

namespace veltrano {

std::string NativePath(const std::string& windowsPath) {
#ifdef _WIN32
  return windowsPath;
#else
  std::string path(windowsPath);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
#endif
}

void DeleteFileChecked(const std::string& windowsPath) {
  const std::filesystem::path path(NativePath(windowsPath));
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  if (!std::filesystem::exists(status)) throw EInOutError("File not found");
  // A folder is not a file: refuse it as the system's file deletion does.
  if (std::filesystem::is_directory(status)) throw EInOutError("Access denied");
  if (!std::filesystem::remove(path, error) || error) {
    throw EInOutError(error == std::errc::permission_denied
                          ? "Access denied"
                          : "I/O error " + std::to_string(error.value()));
  }
}

std::string DirectoryOf(const std::string& fullPath) {
  const auto end = fullPath.find_last_of("\\/:");
  return end == std::string::npos ? std::string() : fullPath.substr(0, end + 1);
}

}  // namespace veltrano
