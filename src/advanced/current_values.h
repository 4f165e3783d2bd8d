// What the settings of the catalogue hold now, as the advanced window's tooltips show
// it: each value a setting writes, with its data read from the live registry, or the
// COM1: line of win.ini for the ports setting. Reads only. Portable: no window here.
#pragma once

#include <string>
#include <string_view>

#include "platform/ini_file.h"
#include "platform/registry_api.h"

namespace veltrano {

inline constexpr char kNotSetText[] = "not set (Windows' own default)";

// The lines (joined with "\r\n") that tell what `control` writes and what that holds now:
// "MaxMTU: 1500", "DefaultTTL: not set (Windows' own default)". A setting that writes into
// several keys names each value with its key's last part ("MSTCP\DefaultTTL: 64", "HKLM"
// for the root key). The ports setting gives "win.ini [Ports] COM1: <line>" from
// windowsDir. A value that cannot be read says so with its error code; "" for a name
// that is not a setting.
std::string CurrentValuesText(RegistryApi& registry, ProfileStringApi& ini,
                              const std::string& systemKeyName, const std::string& windowsDir,
                              std::string_view control);

}  // namespace veltrano
