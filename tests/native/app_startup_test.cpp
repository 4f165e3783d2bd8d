// Start-up decisions against the in-memory registry: which end start-up takes, the
// first run's hand-over to uninstall mode, and the status line by LastOptim.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/startup.h"
#include "platform/memory_registry.h"
#include "support/status_line_cases.h"

namespace veltrano {
namespace {

constexpr char kNtProgramKey[] = "SOFTWARE\\QuarnSoft\\Veltrano";
constexpr char kNtUninstallEntry[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano_is1";
constexpr char kExe[] = "C:\\Program Files\\Veltrano App\\Veltrano.exe";

OsVersionInfo WindowsXp() {
  return {true, 2, 5, 1, "Service Pack 2"};
}
OsVersionInfo Windows98Se() {
  return {true, 1, 4, 10, " A "};
}

class StartupTest : public ::testing::Test {
 protected:
  StartupOutcome Start(std::vector<std::string> arguments = {},
                       OsVersionInfo version = WindowsXp()) {
    StartupInputs inputs{version, kExe, std::move(arguments), [] { return "C:\\WINDOWS"; }};
    return RunStartupSequence(registry_, inputs, state_);
  }
  std::optional<std::string> Text(const std::string& path, const std::string& name) {
    auto value = registry_.GetValue(kHkeyLocalMachine, path, name);
    if (!value) return std::nullopt;
    return value->Text();
  }

  MemoryRegistry registry_;
  AppStateRecord state_;
};

TEST_F(StartupTest, MissingProgramKeyEndsSilentlyWithoutTouchingTheRegistry) {
  state_.DefaultsDone = true;
  const StartupOutcome outcome = Start();
  EXPECT_EQ(outcome.end, StartupEnd::kEndSilently);
  EXPECT_FALSE(outcome.firstRunPending);
  EXPECT_FALSE(registry_.KeyExists(kHkeyLocalMachine, kNtProgramKey));
  EXPECT_FALSE(state_.DefaultsDone);
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

// ProgramKey, or the key of the network settings (the one above it while TCP/IP is not
// set up), refused for writing.
TEST_F(StartupTest, WriteDeniedProgramOrNetworkKeyAsksForAnAdministrator) {
  const std::string services = "SYSTEM\\CurrentControlSet\\Services";
  registry_.PutText(kHkeyLocalMachine, kNtProgramKey, "LastOptim", "3");
  for (const std::string& denied : {std::string(kNtProgramKey), services}) {
    registry_.DenyWrite(kHkeyLocalMachine, denied);
    EXPECT_EQ(Start().end, StartupEnd::kNeedsAdministrator) << denied;
    registry_.AllowWrite(kHkeyLocalMachine, denied);
  }
  registry_.PutText(kHkeyLocalMachine, services + "\\Tcpip\\Parameters", "", "");
  registry_.DenyWrite(kHkeyLocalMachine, services);
  EXPECT_EQ(Start().end, StartupEnd::kShowWizard) << "where TCP/IP is set up, its key answers";
}

TEST_F(StartupTest, FillsAppStateAndShowsTheWizard) {
  registry_.PutText(kHkeyLocalMachine, kNtProgramKey, "LastOptim", "4");
  const StartupOutcome outcome = Start({"ignored", "/uninstall"});
  EXPECT_EQ(outcome.end, StartupEnd::kShowWizard);
  EXPECT_EQ(outcome.statusText,
            "Last optimization type that you use Cable , xDSL running over PPPoE");
  EXPECT_EQ(state_.OsCode, 6);
  EXPECT_EQ(state_.SoftwareKeyName, "SOFTWARE");
  EXPECT_EQ(state_.OsSuffix, "2k");
  EXPECT_EQ(state_.WindowsDir, "C:\\WINDOWS");
  EXPECT_EQ(state_.ProgramDir, "C:\\Program Files\\Veltrano App\\");
  EXPECT_EQ(state_.LastOptim, "4");
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

TEST_F(StartupTest, NineXFamilyUsesItsOwnSpellingOfTheProgramKey) {
  registry_.PutText(kHkeyLocalMachine, "Software\\QuarnSoft\\Veltrano", "LastOptim", "1");
  const StartupOutcome outcome = Start({}, Windows98Se());
  EXPECT_EQ(outcome.end, StartupEnd::kShowWizard);
  EXPECT_EQ(state_.OsCode, 2);
  EXPECT_EQ(state_.SoftwareKeyName, "Software");
  EXPECT_EQ(state_.SystemKeyName, "System");
  EXPECT_EQ(state_.OsSuffix, "");
}

TEST_F(StartupTest, FirstRunDeletesFirstAndPointsTheUninstallEntryHere) {
  registry_.PutText(kHkeyLocalMachine, kNtProgramKey, "LastOptim", "7");
  registry_.PutText(kHkeyLocalMachine, kNtProgramKey, "First", "Yes");
  registry_.PutText(kHkeyLocalMachine, kNtUninstallEntry, "UninstallString", "old");
  const StartupOutcome outcome = Start();
  EXPECT_TRUE(outcome.firstRunPending);
  EXPECT_EQ(Text(kNtProgramKey, "First"), std::nullopt);
  EXPECT_EQ(Text(kNtUninstallEntry, "UninstallString"),
            "\"C:\\Program Files\\Veltrano App\\Veltrano.exe\" /uninstall");
  // The second start is no first run any more.
  EXPECT_FALSE(Start().firstRunPending);
}

TEST_F(StartupTest, FirstRunWithoutUninstallEntryCreatesNothing) {
  registry_.PutText(kHkeyLocalMachine, kNtProgramKey, "First", "Yes");
  EXPECT_TRUE(Start().firstRunPending);
  EXPECT_FALSE(registry_.KeyExists(kHkeyLocalMachine, kNtUninstallEntry));
  EXPECT_EQ(Text(kNtProgramKey, "UninstallString"), std::nullopt);
}

TEST_F(StartupTest, OnlyTheExactWordYesIsAFirstRun) {
  for (const char* first : {"yes", "YES", "Yes ", "", "No"}) {
    registry_.PutText(kHkeyLocalMachine, kNtProgramKey, "First", first);
    EXPECT_FALSE(Start().firstRunPending) << '"' << first << '"';
    EXPECT_EQ(Text(kNtProgramKey, "First"), first);
  }
}

TEST_F(StartupTest, UninstallArgumentIsRecognisedOnlyExactlyAndFirst) {
  registry_.PutText(kHkeyLocalMachine, kNtProgramKey, "LastOptim", "3");
  const struct {
    std::vector<std::string> arguments;
    StartupEnd end;
  } cases[] = {
      // clang-format off
      {{"/uninstall"}, StartupEnd::kUninstall},   {{"/uninstall", "more"}, StartupEnd::kUninstall},
      {{"/UNINSTALL"}, StartupEnd::kShowWizard},  {{"x", "/uninstall"}, StartupEnd::kShowWizard},
      {{"/uninstall "}, StartupEnd::kShowWizard}, {{}, StartupEnd::kShowWizard},
      {{"/restore", "C:\\b.txt"}, StartupEnd::kRestore}, {{"/restore", "before"}, StartupEnd::kRestore},
      {{"/report"}, StartupEnd::kCommand},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Start(c.arguments).end, c.end) << (c.arguments.empty() ? "" : c.arguments[0]);
  }
}

TEST_F(StartupTest, FirstRunStartedForUninstallStillHandsOver) {
  registry_.PutText(kHkeyLocalMachine, kNtProgramKey, "First", "Yes");
  registry_.PutText(kHkeyLocalMachine, kNtUninstallEntry, "DisplayName", "Veltrano");
  const StartupOutcome outcome = Start({"/uninstall"});
  EXPECT_EQ(outcome.end, StartupEnd::kUninstall);
  EXPECT_EQ(Text(kNtProgramKey, "First"), std::nullopt);
  EXPECT_EQ(Text(kNtUninstallEntry, "UninstallString"),
            "\"C:\\Program Files\\Veltrano App\\Veltrano.exe\" /uninstall");
}

TEST(StatusLine, CaptionByLastOptim) {
  const std::string prefix = status_line_cases::kPrefix;
  for (const auto& c : status_line_cases::kCases) {
    EXPECT_EQ(StatusLineFor(c.lastOptim), prefix + c.caption) << '"' << c.lastOptim << '"';
  }
}

}  // namespace
}  // namespace veltrano
