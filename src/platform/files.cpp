#include "platform/files.h"

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

std::string DirectoryOf(const std::string& fullPath) {
  const auto end = fullPath.find_last_of("\\/:");
  return end == std::string::npos ? std::string() : fullPath.substr(0, end + 1);
}

}  // namespace veltrano
