// Helpers for tests that run under Wine against the real Win32 API: registry planting
// and inspection, key access lists, files, temporary folders and child programs.
// Windows builds only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace wine_harness {

using veltrano::RegKey;

// Makes Wine report `version` ("win98", "winxp", "win2k", ...) to the program named
// exeName (for example "Veltrano.exe") from its next start; an empty version removes
// the setting again. True when the registry took the change.
bool SetEmulatedWindowsVersion(const std::string& exeName, const std::string& version);

// --- Registry, by root (kHkeyLocalMachine, kHkeyCurrentUser, kHkeyUsers) and a path
// without a leading backslash. Missing keys on the way are created by the Put calls. ---

bool PutText(RegKey root, const std::string& path, const std::string& name,
             const std::string& text);
bool PutNumber(RegKey root, const std::string& path, const std::string& name, std::uint32_t value);
bool PutRaw(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
            const std::string& bytes);

struct RawValue {
  std::uint32_t type = 0;
  std::string bytes;
};
std::optional<RawValue> ReadRaw(RegKey root, const std::string& path, const std::string& name);
// A REG_SZ or REG_EXPAND_SZ value, cut at its first zero byte.
std::optional<std::string> ReadText(RegKey root, const std::string& path, const std::string& name);
std::optional<std::uint32_t> ReadNumber(RegKey root, const std::string& path,
                                        const std::string& name);

bool DeleteValue(RegKey root, const std::string& path, const std::string& name);
// Removes the key and everything below it; true when it is gone afterwards.
bool DeleteTree(RegKey root, const std::string& path);
bool KeyExists(RegKey root, const std::string& path);

// Gives the key an access list that denies setting values and creating sub keys to
// everyone, so that opening it with KEY_ALL_ACCESS fails with error 5 while reading
// still works. AllowWriteOnKey gives everyone full access again.
bool DenyWriteOnKey(RegKey root, const std::string& path);
bool AllowWriteOnKey(RegKey root, const std::string& path);

// Denies writing for the life of the object (the key is created when missing).
class ScopedWriteDenial {
 public:
  ScopedWriteDenial(RegKey root, std::string path);
  ~ScopedWriteDenial();
  ScopedWriteDenial(const ScopedWriteDenial&) = delete;
  ScopedWriteDenial& operator=(const ScopedWriteDenial&) = delete;
  bool Active() const { return active_; }

 private:
  RegKey root_;
  std::string path_;
  bool active_;
};

// --- Files, by Windows path. ---

std::optional<std::string> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The lines of a text whose lines end in CR LF (as INI files do), without their ends.
std::vector<std::string> CrLfLines(const std::string& text);

// A new empty folder under the system's temporary folder, removed with its contents at
// the end of the object's life. Path() has no trailing backslash.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// --- Programs. ---

inline constexpr int kRunNotStarted = -1;
inline constexpr int kRunTimedOut = -2;

// Starts path with the command-line tail args (the program name is put in front,
// quoted), waits up to timeoutMs and returns its exit code. A program still running
// then is ended and kRunTimedOut returned; kRunNotStarted when it could not start.
int RunProgram(const std::string& path, const std::string& args, unsigned timeoutMs);

// The folder of the running test program, without a trailing backslash: the built
// program and its profile folders are there.
std::string BinDir();
// The Windows folder of the prefix, e.g. "C:\windows".
std::string WindowsDir();

}  // namespace wine_harness
