// The file helpers on Windows, through the ANSI functions that every Windows from 95 on
// has: the wide ones are stubs that fail on Windows 9x.
#include <windows.h>

#include <io.h>

#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/win32_handle.h"

namespace veltrano {

void DeleteFileChecked(const std::string& windowsPath) {
  const DWORD attributes = GetFileAttributesA(windowsPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      throw EInOutError("File not found");
    }
    throw EInOutError("I/O error " + std::to_string(error));
  }
  // A folder is not a file: refuse it as the system's file deletion does.
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw EInOutError("Access denied");
  if (!DeleteFileA(windowsPath.c_str())) {
    const DWORD error = GetLastError();
    throw EInOutError(error == ERROR_ACCESS_DENIED ? "Access denied"
                                                   : "I/O error " + std::to_string(error));
  }
}

bool FlushToDisk(std::FILE* file) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle);
}

namespace {

// The volume and index of a file, which name it whatever path leads to it; opened for
// reading, which every Windows answers (95 included), sharing everything.
bool IdentityOf(const std::string& windowsPath, BY_HANDLE_FILE_INFORMATION& information) {
  const UniqueHandle file(CreateFileA(windowsPath.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && GetFileInformationByHandle(file.Get(), &information) != FALSE;
}

}  // namespace

bool SameFile(const std::string& windowsPathA, const std::string& windowsPathB) {
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return IdentityOf(windowsPathA, a) && IdentityOf(windowsPathB, b) &&
         a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

bool EnsureFolder(const std::string& windowsPath) {
  if (CreateDirectoryA(windowsPath.c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesA(windowsPath.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FileNamesIn(const std::string& windowsFolder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const HANDLE search = FindFirstFileA((windowsFolder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

std::size_t LastSeparator(const std::string& path) {
  std::size_t last = std::string::npos;
  // CharNextA steps over both bytes of a double-byte character.
  for (const char* c = path.c_str(); *c != '\0'; c = CharNextA(c)) {
    if (*c == '\\' || *c == '/' || *c == ':') last = static_cast<std::size_t>(c - path.c_str());
  }
  return last;
}

std::string ExecutablePath() {
  const auto path = ReadWholeName(
      [](char* buffer, std::uint32_t size) { return GetModuleFileNameA(nullptr, buffer, size); });
  if (!path) throw EInOutError("The program cannot read the path of its own file");
  return *path;
}

bool RemoveFileIfPresent(const std::string& windowsPath) {
  if (GetFileAttributesA(windowsPath.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
  return DeleteFileA(windowsPath.c_str()) != FALSE;
}

}  // namespace veltrano
