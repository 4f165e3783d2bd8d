#include "support/wine_harness.h"

#include <windows.h>

#include <vector>

#include "platform/files.h"
#include "platform/win32_handle.h"

namespace wine_harness {
namespace {

HKEY ToHkey(RegKey root) {
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

class Key {
 public:
  Key(HKEY parent, const std::string& path, REGSAM access, bool create = false) {
    const LONG status = create ? RegCreateKeyExA(parent, path.c_str(), 0, nullptr, 0, access,
                                                 nullptr, &key_, nullptr)
                               : RegOpenKeyExA(parent, path.c_str(), 0, access, &key_);
    if (status != ERROR_SUCCESS) key_ = nullptr;
  }
  Key(RegKey root, const std::string& path, REGSAM access, bool create = false)
      : Key(ToHkey(root), path, access, create) {}
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY Get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_ = nullptr;
};

class Sid {
 public:
  Sid() {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid_)) {
      sid_ = nullptr;
    }
  }
  ~Sid() {
    if (sid_) FreeSid(sid_);
  }
  Sid(const Sid&) = delete;
  Sid& operator=(const Sid&) = delete;
  PSID Get() const { return sid_; }

 private:
  PSID sid_ = nullptr;
};

// Sets an access list for everyone: a deny entry first (when deniedRights is not 0),
// then an allow entry for all key rights.
bool SetEveryoneAccess(HKEY parent, const std::string& path, DWORD deniedRights) {
  Key key(parent, path, WRITE_DAC | READ_CONTROL);
  Sid everyone;
  if (!key || !everyone.Get()) return false;
  const DWORD sidLength = GetLengthSid(everyone.Get());
  std::vector<std::uint8_t> aclBuffer(sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + sidLength));
  auto* acl = reinterpret_cast<ACL*>(aclBuffer.data());
  if (!InitializeAcl(acl, static_cast<DWORD>(aclBuffer.size()), ACL_REVISION)) return false;
  if (deniedRights != 0 && !AddAccessDeniedAce(acl, ACL_REVISION, deniedRights, everyone.Get())) {
    return false;
  }
  if (!AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone.Get())) return false;
  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE)) {
    return false;
  }
  return RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
}

bool DeleteKeyRecursively(HKEY parent, const std::string& name) {
  {
    // A key left denied by a test must go as well: give it full access first.
    SetEveryoneAccess(parent, name, 0);
    const Key key(parent, name, KEY_ALL_ACCESS);
    if (!key) return false;
    char child[256];
    for (;;) {
      DWORD length = sizeof child;
      if (RegEnumKeyExA(key.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      if (!DeleteKeyRecursively(key.Get(), child)) break;
    }
  }
  return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

bool RemoveFolderRecursively(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    // FindClose, not CloseHandle, ends a search: kept by hand within this loop.
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderRecursively(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryA(folder.c_str()) != FALSE;
}

}  // namespace

bool SetEmulatedWindowsVersion(const std::string& exeName, const std::string& version) {
  const std::string path = "Software\\Wine\\AppDefaults\\" + exeName;
  if (version.empty()) {
    return DeleteValue(veltrano::kHkeyCurrentUser, path, "Version") ||
           !ReadRaw(veltrano::kHkeyCurrentUser, path, "Version");
  }
  return PutText(veltrano::kHkeyCurrentUser, path, "Version", version);
}

bool PutRaw(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
            const std::string& bytes) {
  Key key(root, path, KEY_ALL_ACCESS, true);
  return key && RegSetValueExA(key.Get(), name.c_str(), 0, type,
                               reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool PutText(RegKey root, const std::string& path, const std::string& name,
             const std::string& text) {
  return PutRaw(root, path, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

bool PutNumber(RegKey root, const std::string& path, const std::string& name, std::uint32_t value) {
  return PutRaw(root, path, name, REG_DWORD,
                std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

std::optional<RawValue> ReadRaw(RegKey root, const std::string& path, const std::string& name) {
  Key key(root, path, KEY_READ, false);
  if (!key) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::string bytes(size, '\0');
  if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(bytes.data()), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  bytes.resize(size);
  return RawValue{type, bytes};
}

std::optional<std::string> ReadText(RegKey root, const std::string& path, const std::string& name) {
  const auto raw = ReadRaw(root, path, name);
  if (!raw || (raw->type != REG_SZ && raw->type != REG_EXPAND_SZ)) return std::nullopt;
  return raw->bytes.substr(0, raw->bytes.find('\0'));
}

std::optional<std::uint32_t> ReadNumber(RegKey root, const std::string& path,
                                        const std::string& name) {
  const auto raw = ReadRaw(root, path, name);
  if (!raw || raw->type != REG_DWORD || raw->bytes.size() != 4) return std::nullopt;
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(raw->bytes[i]);
  return value;
}

bool DeleteValue(RegKey root, const std::string& path, const std::string& name) {
  Key key(root, path, KEY_ALL_ACCESS, false);
  return key && RegDeleteValueA(key.Get(), name.c_str()) == ERROR_SUCCESS;
}

bool DeleteTree(RegKey root, const std::string& path) {
  if (!KeyExists(root, path)) return true;
  DeleteKeyRecursively(ToHkey(root), path);
  return !KeyExists(root, path);
}

bool KeyExists(RegKey root, const std::string& path) {
  return static_cast<bool>(Key(root, path, KEY_READ, false));
}

bool DenyWriteOnKey(RegKey root, const std::string& path) {
  return SetEveryoneAccess(ToHkey(root), path, KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
}

bool AllowWriteOnKey(RegKey root, const std::string& path) {
  return SetEveryoneAccess(ToHkey(root), path, 0);
}

ScopedWriteDenial::ScopedWriteDenial(RegKey root, std::string path)
    : root_(root), path_(std::move(path)) {
  { Key created(root_, path_, KEY_ALL_ACCESS, true); }
  active_ = DenyWriteOnKey(root_, path_);
}

ScopedWriteDenial::~ScopedWriteDenial() {
  if (active_) AllowWriteOnKey(root_, path_);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  const veltrano::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) != FALSE) && read > 0) {
    bytes.append(buffer, read);
  }
  if (!ok) return std::nullopt;
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  const veltrano::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) !=
             FALSE &&
         written == bytes.size();
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TempFolder::TempFolder() {
  char base[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof base, base);
  std::string root(base, length);
  if (!root.empty() && root.back() == '\\') root.pop_back();
  static unsigned counter = 0;
  for (;;) {
    path_ = root + "\\veltrano-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempFolder::~TempFolder() {
  RemoveFolderRecursively(path_);
}

int RunProgram(const std::string& path, const std::string& args, unsigned timeoutMs) {
  std::string commandLine = "\"" + path + "\"";
  if (!args.empty()) commandLine += " " + args;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    return kRunNotStarted;
  }
  const veltrano::UniqueHandle thread(process.hThread);
  const veltrano::UniqueHandle child(process.hProcess);
  if (WaitForSingleObject(child.Get(), timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(child.Get(), 1);
    WaitForSingleObject(child.Get(), INFINITE);
    return kRunTimedOut;
  }
  DWORD code = 0;
  GetExitCodeProcess(child.Get(), &code);
  return static_cast<int>(code);
}

std::string BinDir() {
  const std::string folder = veltrano::DirectoryOf(veltrano::ExecutablePath());
  return folder.substr(0, folder.size() - 1);
}

std::string WindowsDir() {
  char path[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(path, sizeof path);
  return std::string(path, length);
}

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace wine_harness
