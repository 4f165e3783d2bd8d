// What the advanced window's tooltips say each setting holds now, from the in-memory
// registry and INI files: a line per value, named by its key where a setting writes into
// several keys, and the ports setting's COM1: line.
#include <gtest/gtest.h>

#include "advanced/current_values.h"
#include "platform/memory_profile_strings.h"
#include "platform/memory_registry.h"

namespace veltrano {
namespace {

TEST(AdvancedCurrentValues, EachSettingNamesItsValuesWithTheirDataNow) {
  const std::string adapter = R"(SYSTEM\CurrentControlSet\Services\Class\Net\0001)";
  MemoryRegistry registry;
  registry.PutText(kHkeyLocalMachine, adapter, "MaxMTU", "1500");
  registry.PutValue(kHkeyLocalMachine, adapter, "SLOWNET", kRegBinary, {0x01});
  registry.PutText(kHkeyLocalMachine, R"(System\CurrentControlSet\Services\VxD\MSTCP)",
                   "DefaultTTL", "32");
  MemoryProfileStrings ini;
  ini.WriteString("Ports", "COM1:", "19200,n,8,1", R"(C:\WINDOWS\win.ini)");
  ini.WriteString("Ports", "COM1:", "921600,n,8,1,p", R"(C:\WINDOWS\system.ini)");
  const std::string notSet = "not set (Windows' own default)";
  const std::pair<const char*, std::string> cases[] = {
      {"g5", "MaxMTU: 1500"},
      {"g4", "SLOWNET: 01"},
      {"td1", "HKLM\\DefaultTTL: " + notSet + "\r\nMSTCP\\DefaultTTL: 32"},
      {"g7", "win.ini [Ports] COM1: 19200,n,8,1"},
      {"b1", "default: " + notSet},
      {"nosuch", ""},
  };
  for (const auto& [control, text] : cases) {
    EXPECT_EQ(CurrentValuesText(registry, ini, "SYSTEM", R"(C:\WINDOWS)", control), text)
        << control;
  }
  EXPECT_EQ(registry.OpenHandleCount(), 0u);

  // A value that grows between the query of its size and its read is not read past.
  class Growing : public MemoryRegistry {
    long QueryValue(RegKey, const std::string&, std::uint32_t*, std::uint8_t* data,
                    std::uint32_t* size) override {
      *size = data ? 600 : 4;
      return data ? kErrorMoreData : kErrorSuccess;
    }
  } growing;
  growing.PutText(kHkeyLocalMachine, adapter, "MaxMTU", "1500");
  EXPECT_EQ(CurrentValuesText(growing, ini, "SYSTEM", R"(C:\WINDOWS)", "g5"),
            "MaxMTU: cannot be read (error 234)");
}

}  // namespace
}  // namespace veltrano
