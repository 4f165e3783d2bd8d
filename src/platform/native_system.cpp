// The system services where there is no Windows: process-wide in-memory stand-ins, so
// that portable code and native tests run without a registry, INI files or a shell.
#include <mutex>
#include <set>

#include "platform/ini_file.h"
#include "platform/memory_profile_strings.h"
#include "platform/memory_registry.h"
#include "platform/os_version.h"
#include "platform/shutdown.h"
#include "platform/single_instance.h"
#include "platform/system_backends.h"
#include "platform/system_root.h"

namespace veltrano {
namespace {

// Accepts every restart request and restarts nothing.
class StandInShutdown : public ShutdownApi {
 public:
  std::uint32_t PlatformId() override { return kPlatformWin32Nt; }
  bool EnableShutdownPrivilege() override { return true; }
  bool ExitWindows(std::uint32_t) override { return true; }
};

struct HeldInstances {
  std::mutex lock;
  std::set<std::string> names;
};

HeldInstances& Held() {
  static HeldInstances held;
  return held;
}

}  // namespace

RegistryApi& SystemRegistry() {
  static MemoryRegistry registry;
  return registry;
}

ProfileStringApi& SystemProfileStrings() {
  static MemoryProfileStrings profiles;
  return profiles;
}

ShutdownApi& SystemShutdown() {
  static StandInShutdown shutdown;
  return shutdown;
}

OsVersionInfo QueryOsVersion() {
  return OsVersionInfo{};
}  // no version to ask: a failed call

std::string SystemLastErrorText() {
  return std::string();
}

void LaunchWithShell(void*, const std::string&, const std::string&, const std::string&) {}

bool OpenWithShell(const std::string&) {
  return false;  // no shell to open anything
}

std::string SystemProgramPath(const std::string& file) {
  return "C:\\WINDOWS\\system32\\" + file;  // where an NT system keeps it
}

void StartCommandLine(const std::string&) {}

bool TabfOneInstance::Acquire(const std::string& title) {
  if (held_) return true;
  HeldInstances& held = Held();
  std::lock_guard<std::mutex> guard(held.lock);
  const std::string name = DefaultMutexName(title);
  if (!held.names.insert(name).second) return false;
  heldName_ = name;
  held_ = true;
  return true;
}

TabfOneInstance::~TabfOneInstance() {
  if (!held_) return;
  HeldInstances& held = Held();
  std::lock_guard<std::mutex> guard(held.lock);
  held.names.erase(heldName_);
}

}  // namespace veltrano
