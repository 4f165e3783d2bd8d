// Stay Alive without its window: what the user typed, and the settings kept under the
// program's key, against the in-memory registry.
#include <gtest/gtest.h>

#include <string>

#include "companions/stay_alive_core.h"
#include "platform/memory_registry.h"

namespace {

using veltrano::kHkeyLocalMachine;
using veltrano::MemoryRegistry;
using namespace veltrano::companions;

constexpr char kProgramKey[] = "\\SOFTWARE\\QuarnSoft\\Veltrano";
constexpr char kProgramKeyPath[] = "SOFTWARE\\QuarnSoft\\Veltrano";

TEST(StayAliveInput, EachFieldIsCheckedAndReportedWithTheFieldToPutRight) {
  struct Case {
    const char* host;
    const char* port;
    const char* minutes;
    InputField field;  // kNone: accepted
    const char* problem;
  };
  const Case cases[] = {
      {"  mail.example.net ", " 110", "5 ", InputField::kNone, ""},
      {"192.0.2.7", "65535", "60", InputField::kNone, ""},
      {"localhost", "1", "1", InputField::kNone, ""},
      {"", "80", "5", InputField::kHost, "Please enter the name or address of a host to contact."},
      {"   ", "80", "5", InputField::kHost,
       "Please enter the name or address of a host to contact."},
      {"web server", "80", "5", InputField::kHost, "'web server' is not a host name."},
      {"a..b", "80", "5", InputField::kHost, "'a..b' is not a host name."},
      {"host", "0", "5", InputField::kPort, "Please enter a port from 1 to 65535."},
      {"host", "65536", "5", InputField::kPort, "Please enter a port from 1 to 65535."},
      {"host", "8o", "5", InputField::kPort, "Please enter a port from 1 to 65535."},
      {"host", "", "5", InputField::kPort, "Please enter a port from 1 to 65535."},
      {"host", "80", "0", InputField::kMinutes, "Please enter a number of minutes from 1 to 60."},
      {"host", "80", "61", InputField::kMinutes, "Please enter a number of minutes from 1 to 60."},
      {"host", "80", "-5", InputField::kMinutes, "Please enter a number of minutes from 1 to 60."},
  };
  for (const Case& c : cases) {
    const CheckedInput input = CheckInput(c.host, c.port, c.minutes);
    EXPECT_EQ(input.ok, c.field == InputField::kNone)
        << c.host << " " << c.port << " " << c.minutes;
    EXPECT_EQ(input.field, c.field) << c.host << " " << c.port << " " << c.minutes;
    EXPECT_EQ(input.problem, c.problem) << c.host << " " << c.port << " " << c.minutes;
  }
  const CheckedInput trimmed = CheckInput("  mail.example.net ", " 110", "5 ");
  EXPECT_EQ(trimmed.settings.host, "mail.example.net");
  EXPECT_EQ(trimmed.settings.port, 110u);
  EXPECT_EQ(trimmed.settings.minutes, 5u);
}

TEST(StayAliveSettingsStore, SavedSettingsComeBackAndBrokenOnesKeepTheDefaults) {
  MemoryRegistry registry;
  const StayAliveSettings defaults = LoadStayAliveSettings(registry, kProgramKey);
  EXPECT_EQ(defaults.host, "");
  EXPECT_EQ(defaults.port, 80u);
  EXPECT_EQ(defaults.minutes, 5u);

  EXPECT_EQ(SaveStayAliveSettings(registry, kProgramKey, {"pop.example.net", 110, 12}), "");
  EXPECT_EQ(registry.GetValue(kHkeyLocalMachine, kProgramKeyPath, kHostValue)->Text(),
            "pop.example.net");
  EXPECT_EQ(registry.GetValue(kHkeyLocalMachine, kProgramKeyPath, kPortValue)->Text(), "110");
  EXPECT_EQ(registry.GetValue(kHkeyLocalMachine, kProgramKeyPath, kMinutesValue)->Text(), "12");
  const StayAliveSettings saved = LoadStayAliveSettings(registry, kProgramKey);
  EXPECT_EQ(saved.host, "pop.example.net");
  EXPECT_EQ(saved.port, 110u);
  EXPECT_EQ(saved.minutes, 12u);

  registry.PutText(kHkeyLocalMachine, kProgramKeyPath, kPortValue, "99999");
  registry.PutText(kHkeyLocalMachine, kProgramKeyPath, kMinutesValue, "often");
  const StayAliveSettings broken = LoadStayAliveSettings(registry, kProgramKey);
  EXPECT_EQ(broken.host, "pop.example.net");
  EXPECT_EQ(broken.port, 80u);
  EXPECT_EQ(broken.minutes, 5u);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(StayAliveSettingsStore, ARefusedSaveIsReportedAndTheSavedSettingsStillLoad) {
  MemoryRegistry registry;
  registry.PutText(kHkeyLocalMachine, kProgramKeyPath, kHostValue, "old.example.net");
  registry.DenyWrite(kHkeyLocalMachine, kProgramKeyPath);
  EXPECT_EQ(SaveStayAliveSettings(registry, kProgramKey, {"new.example.net", 80, 5}),
            "Your settings could not be saved: no write access to "
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\QuarnSoft\\Veltrano.");
  EXPECT_EQ(LoadStayAliveSettings(registry, kProgramKey).host, "old.example.net");
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

}  // namespace
