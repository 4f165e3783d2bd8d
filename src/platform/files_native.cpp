// The work file's deletion where there is no Windows, with the same messages.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

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

}  // namespace veltrano
