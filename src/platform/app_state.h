// AppState: the one program-wide record, zero-filled at process start, filled by
// start-up and read by the wizard, the runs and advanced mode. UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "platform/os_version.h"

namespace veltrano {

struct AppStateRecord {
  int OsCode = 0;
  OsFamily Family = OsFamily::k9x;
  std::string SoftwareKeyName;
  std::string SystemKeyName;
  std::string OsSuffix;
  std::string WindowsDir;  // no trailing backslash
  std::string ProgramDir;  // with trailing backslash
  std::string LastOptim;   // as read at start-up; "" when absent
  std::uint8_t SelectedType = 0;
  bool DefaultsChained = false;
  bool DefaultsDone = false;
  // Set with DefaultsDone when a chained defaults run stopped on an error, so that
  // its caller ends instead of going on.
  bool DefaultsFailed = false;
};

inline AppStateRecord& AppState() {
  static AppStateRecord state;
  return state;
}

// "\SOFTWARE\QuarnSoft\Veltrano" or "\Software\QuarnSoft\Veltrano".
inline std::string ProgramKeyPath(const std::string& softwareKeyName) {
  return "\\" + softwareKeyName + "\\QuarnSoft\\Veltrano";
}

// Caption of a ConnectionType ("Satellite Dish"), as the status line shows it; "" outside
// 1..7.
inline std::string ConnectionCaption(int connectionType) {
  static const char* const kCaptions[] = {
      "56k Flex , V.90 , V.92 Modem",    "33k or below Modem", "Normal Cable , xDSL",
      "Cable , xDSL running over PPPoE", "LAN , ISDN , T1",    "Satellite Dish",
      "Windows Default Settings"};
  if (connectionType < 1 || connectionType > 7) return "";
  return kCaptions[connectionType - 1];
}

}  // namespace veltrano
