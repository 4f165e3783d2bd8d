// File helpers shared by the runs. Program paths are Windows paths joined with "\";
// natively they are mapped onto the host's separators.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrano {

std::string NativePath(const std::string& windowsPath);

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Deletes a file; a missing file raises EInOutError "File not found".
void DeleteFileChecked(const std::string& windowsPath);

// Makes the folder when it is not there; false when it is neither there nor made.
bool EnsureFolder(const std::string& windowsPath);
// The names of the files (not folders) in a folder, in no particular order.
std::vector<std::string> FileNamesIn(const std::string& windowsFolder);
// A whole file's bytes, or nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& windowsPath);
// A file read whole, or why it was not.
struct FileRead {
  enum Status { kRead, kMissing, kUnreadable, kTooLarge } status = kMissing;
  std::string bytes;   // kRead
  std::string reason;  // kUnreadable: the system's words ("Permission denied", ...)
};
// Reads a file of at most `limit` bytes; of a larger one no more than the limit is read.
// A file that is there but cannot be opened or read is never taken for a missing one.
FileRead ReadFileAtMost(const std::string& windowsPath, std::size_t limit);
// Whether the same file is behind both paths, however each is spelt (8.3 names,
// relative paths, either slash); false when either is not there.
bool SameFile(const std::string& windowsPathA, const std::string& windowsPathB);
// Asks the system to put what was written to the file on the disk (FlushFileBuffers).
bool FlushToDisk(std::FILE* file);
// Writes the file anew and onto the disk; false (and no file left) when it cannot be
// written whole.
bool WriteWholeFile(const std::string& windowsPath, const std::string& bytes);
// Writes the file anew through a fresh copy beside it, so that a failed write leaves the
// old contents in place; false when it could not.
bool ReplaceWholeFile(const std::string& windowsPath, const std::string& bytes);
// Removes a file if it is there; false when one is there and cannot be removed.
bool RemoveFileIfPresent(const std::string& windowsPath);

// The position of the last separator ("\", "/" or ":") in a path, or std::string::npos.
// On Windows the path is read by the characters of the system's code page: in a
// double-byte one (Shift-JIS, for one) the second byte of a character may be that of
// "\" without being a separator. Natively every byte is a character.
std::size_t LastSeparator(const std::string& path);

// Reads a name through a call that fills a buffer of the given size and returns the
// length it wrote, as GetModuleFileNameA does: a name that fills the whole buffer may
// have been cut short, so the buffer grows, up to 32 KB. nullopt when the call fails
// (returns 0) or the name does not fit even then.
using NameReader = std::function<std::uint32_t(char* buffer, std::uint32_t size)>;
std::optional<std::string> ReadWholeName(const NameReader& read);

// The running program's full path, read whole (Windows only); raises EInOutError when
// it cannot be.
std::string ExecutablePath();

// Directory part of a full path, with its trailing backslash ("C:\P\x.exe" -> "C:\P\").
std::string DirectoryOf(const std::string& fullPath);

}  // namespace veltrano
