#include "platform/single_instance.h"

namespace veltrano {

std::string CriticalSectionMutexName(const std::string& title) {
  return title + ".OneInstance.CriticalSection";
}

std::string DefaultMutexName(const std::string& title) {
  return title + ".OneInstance.Default";
}

}  // namespace veltrano
