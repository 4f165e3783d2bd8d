// The file helpers where there is no Windows, with the same messages.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/files.h"

namespace veltrano {

void DeleteFileChecked(const std::string& windowsPath) {
  const std::string path = NativePath(windowsPath);
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) throw EInOutError("File not found");
    throw EInOutError("I/O error " + std::to_string(errno));
  }
  // A folder is not a file: refuse it as the system's file deletion does.
  if (S_ISDIR(status.st_mode)) throw EInOutError("Access denied");
  if (unlink(path.c_str()) != 0) {
    throw EInOutError(errno == EACCES || errno == EPERM ? "Access denied"
                                                        : "I/O error " + std::to_string(errno));
  }
}

bool FlushToDisk(std::FILE* file) {
  return fsync(fileno(file)) == 0;
}

bool SameFile(const std::string& windowsPathA, const std::string& windowsPathB) {
  struct stat a {
  }, b{};
  return stat(NativePath(windowsPathA).c_str(), &a) == 0 &&
         stat(NativePath(windowsPathB).c_str(), &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

bool EnsureFolder(const std::string& windowsPath) {
  const std::string path = NativePath(windowsPath);
  struct stat status {};
  return mkdir(path.c_str(), 0755) == 0 ||
         (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode));
}

std::vector<std::string> FileNamesIn(const std::string& windowsFolder) {
  std::vector<std::string> names;
  const std::string folder = NativePath(windowsFolder);
  DIR* directory = opendir(folder.c_str());
  if (!directory) return names;
  while (const dirent* entry = readdir(directory)) {
    struct stat status {};
    const std::string path = folder + "/" + entry->d_name;
    if (stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode))
      names.emplace_back(entry->d_name);
  }
  closedir(directory);
  return names;
}

std::size_t LastSeparator(const std::string& path) {
  return path.find_last_of("\\/:");
}

bool RemoveFileIfPresent(const std::string& windowsPath) {
  const std::string path = NativePath(windowsPath);
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0) return errno == ENOENT;
  return !S_ISDIR(status.st_mode) && unlink(path.c_str()) == 0;
}

}  // namespace veltrano
