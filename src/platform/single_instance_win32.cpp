#include <windows.h>

#include "platform/single_instance.h"
#include "platform/win32_handle.h"

namespace veltrano {
namespace {

// The first mutex makes the check itself atomic between two starting instances.
class CheckSection {
 public:
  explicit CheckSection(const std::string& title)
      : mutex_(CreateMutexA(nullptr, TRUE, CriticalSectionMutexName(title).c_str())),
        entered_(mutex_ && GetLastError() != ERROR_ALREADY_EXISTS) {}
  ~CheckSection() {
    if (entered_) ReleaseMutex(mutex_.Get());
  }
  CheckSection(const CheckSection&) = delete;
  CheckSection& operator=(const CheckSection&) = delete;

  bool Entered() const { return entered_; }

 private:
  UniqueHandle mutex_;
  bool entered_;
};

}  // namespace

bool TabfOneInstance::Acquire(const std::string& title) {
  if (held_) return true;
  CheckSection section(title);
  if (!section.Entered()) return false;

  UniqueHandle mutex(CreateMutexA(nullptr, FALSE, DefaultMutexName(title).c_str()));
  if (!mutex) return false;
  // An abandoned mutex was left by an instance that ended without releasing it: ours now.
  const DWORD wait = WaitForSingleObject(mutex.Get(), 0);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
  defaultMutex_ = mutex.Release();
  held_ = true;
  return true;
}

TabfOneInstance::~TabfOneInstance() {
  if (!held_) return;
  ReleaseMutex(static_cast<HANDLE>(defaultMutex_));
  CloseHandle(static_cast<HANDLE>(defaultMutex_));
}

}  // namespace veltrano
