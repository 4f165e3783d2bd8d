// The single-instance guard: a mutex pair named after the application title.
#pragma once

#include <string>

namespace veltrano {

std::string CriticalSectionMutexName(
    const std::string& title);                           // T + ".OneInstance.CriticalSection"
std::string DefaultMutexName(const std::string& title);  // T + ".OneInstance.Default"

class TabfOneInstance {
 public:
  TabfOneInstance() = default;
  ~TabfOneInstance();  // releases and closes the held mutex
  TabfOneInstance(const TabfOneInstance&) = delete;
  TabfOneInstance& operator=(const TabfOneInstance&) = delete;

  // True when this is the only instance; then the "Default" mutex is held for life.
  bool Acquire(const std::string& title);

 private:
  void* defaultMutex_ = nullptr;  // HANDLE
  bool held_ = false;
  std::string heldName_;  // the stand-in's lock where there are no named mutexes
};

}  // namespace veltrano
