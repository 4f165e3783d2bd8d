#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

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

std::optional<std::string> ReadWholeFile(const std::string& windowsPath) {
  FileHandle file(std::fopen(NativePath(windowsPath).c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string bytes;
  char block[4096];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, file.get())) > 0) bytes.append(block, count);
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}

FileRead ReadFileAtMost(const std::string& windowsPath, std::size_t limit) {
  FileRead read;
  errno = 0;
  FileHandle file(std::fopen(NativePath(windowsPath).c_str(), "rb"));
  if (!file) {
    read.status = errno == ENOENT || errno == ENOTDIR ? FileRead::kMissing : FileRead::kUnreadable;
    read.reason = std::strerror(errno);
    return read;
  }
  char block[4096];
  std::size_t count;
  while ((count = std::fread(block, 1, sizeof block, file.get())) > 0) {
    if (read.bytes.size() + count > limit) {
      read.status = FileRead::kTooLarge;
      read.bytes.clear();
      return read;
    }
    read.bytes.append(block, count);
  }
  read.status = std::ferror(file.get()) ? FileRead::kUnreadable : FileRead::kRead;
  if (read.status == FileRead::kUnreadable) read.reason = std::strerror(errno);
  return read;
}

bool WriteWholeFile(const std::string& windowsPath, const std::string& bytes) {
  const std::string path = NativePath(windowsPath);
  FileHandle file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                       std::fflush(file.get()) == 0 && FlushToDisk(file.get());
  if (std::fclose(file.release()) == 0 && written) return true;
  std::remove(path.c_str());  // half a file would be read as a damaged one later
  return false;
}

bool ReplaceWholeFile(const std::string& windowsPath, const std::string& bytes) {
  const std::string fresh = windowsPath + ".new";
  if (!WriteWholeFile(fresh, bytes)) return false;
  std::remove(NativePath(windowsPath).c_str());  // on Windows a rename does not replace
  return std::rename(NativePath(fresh).c_str(), NativePath(windowsPath).c_str()) == 0;
}

std::optional<std::string> ReadWholeName(const NameReader& read) {
  constexpr std::uint32_t kLongest = 32768;
  for (std::uint32_t size = 260;; size = std::min(2 * size, kLongest)) {
    std::string name(size, '\0');
    const std::uint32_t length = read(name.data(), size);
    if (length == 0) return std::nullopt;
    if (length < size) return name.substr(0, length);
    if (size == kLongest) return std::nullopt;
  }
}

std::string DirectoryOf(const std::string& fullPath) {
  const auto end = LastSeparator(fullPath);
  return end == std::string::npos ? std::string() : fullPath.substr(0, end + 1);
}

}  // namespace veltrano
