// What the advanced window's tooltips say each setting holds now, read from the
// in-memory registry and INI files: one line per value, named by its key where a setting
// writes into several keys, the ports setting's COM1: line, and a key that cannot be read.
#include <gtest/gtest.h>

#include <string>

#include "advanced/current_values.h"
#include "platform/memory_profile_strings.h"
#include "platform/memory_registry.h"

namespace veltrano {
namespace {

// Refuses every open of the NetBEUI keys, as a key whose access list denies reading.
class RefusingRegistry : public MemoryRegistry {
 public:
  long OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
               RegKey* result) override {
    if (subKey.find("NETBEUI") != std::string::npos) return kErrorAccessDenied;
    return MemoryRegistry::OpenKey(parent, subKey, access, result);
  }
};

TEST(AdvancedCurrentValues, EachSettingNamesItsValuesWithTheirDataNow) {
  const std::string adapter = R"(SYSTEM\CurrentControlSet\Services\Class\Net\0001)";
  RefusingRegistry registry;
  registry.PutText(kHkeyLocalMachine, adapter, "MaxMTU", "1500");
  registry.PutValue(kHkeyLocalMachine, adapter, "SLOWNET", kRegBinary, {0x01});
  registry.PutNumber(kHkeyLocalMachine, R"(SYSTEM\America Online\AOL\Aolsock)", "MTU", 1492);
  registry.PutText(kHkeyLocalMachine, R"(System\CurrentControlSet\Services\VxD\MSTCP)",
                   "DefaultTTL", "32");
  MemoryProfileStrings ini;
  ini.WriteString("Ports", "COM1:", "19200,n,8,1", R"(C:\WINDOWS\win.ini)");
  ini.WriteString("Ports", "COM1:", "921600,n,8,1,p", R"(C:\WINDOWS\system.ini)");

  const std::string notSet = "not set (Windows' own default)";
  const struct {
    const char* control;
    std::string text;
  } cases[] = {
      {"g5", "MaxMTU: 1500"},
      {"g4", "SLOWNET: 01"},
      {"a2", "Aolsock\\MTU: 1492\r\nAolsockBack\\MTU: " + notSet},
      {"td1", "HKLM\\DefaultTTL: " + notSet + "\r\nMSTCP\\DefaultTTL: 32"},
      {"g7", "win.ini [Ports] COM1: 19200,n,8,1"},
      {"b1", "default: cannot be read (error 5)"},
      {"nosuch", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CurrentValuesText(registry, ini, "SYSTEM", R"(C:\WINDOWS)", c.control), c.text)
        << c.control;
  }
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace veltrano
