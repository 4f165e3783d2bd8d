// The command line as a script writes it: each line, the command and modifiers read from
// it, or why it is wrong.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"

namespace veltrano {
namespace {

TEST(CommandLine, ReadsEveryCommandAndModifierOrSaysWhyNot) {
  const struct {
    std::vector<std::string> args;
    Command command;
    int type;
    bool quiet;
    const char* error;  // a part of it; "" when the line is right
  } cases[] = {
      // clang-format off
      {{}, Command::kWizard, 0, false, ""},
      {{"/Optimize", "cable"}, Command::kWizard, 0, false, "is no command"},
      {{"/quiet"}, Command::kWizard, 0, true, "is no command"},
      {{"/optimize", "cable", "/quiet"}, Command::kOptimize, 3, true, ""},
      {{"/optimize", "7", "/restart"}, Command::kOptimize, 7, false, ""},
      {{"/optimize", "8"}, Command::kOptimize, 0, false, "8 is no connection type"},
      {{"/optimize", "/quiet"}, Command::kOptimize, 0, true, "needs a connection type"},
      {{"/changes", "modem56", "/out", "x.txt"}, Command::kChanges, 1, false, ""},
      {{"/changes", "satellite", "/out"}, Command::kChanges, 6, false, "/out needs a value"},
      {{"/optimize", "lan", "/out", "x.txt"}, Command::kOptimize, 5, false, "/out goes with"},
      {{"/report", "/log", "C:\\v.log", "/quiet"}, Command::kReport, 0, true, ""},
      {{"/report", "extra"}, Command::kReport, 0, false, "extra is not understood"},
      {{"/restore", "before", "/quiet"}, Command::kRestore, 0, true, ""},
      {{"/restore", "x.txt", "/quiet"}, Command::kRestore, 0, true, "takes before only"},
      {{"/restore"}, Command::kRestore, 0, false, ""},
      {{"/uninstall", "/quiet", "/settings", "before"}, Command::kUninstall, 0, true, ""},
      {{"/uninstall", "/settings", "all"}, Command::kUninstall, 0, false, "defaults or before"},
      {{"/report", "/settings", "before"}, Command::kReport, 0, false, "with /uninstall only"},
      {{"/measure", "10.0.2.2", "/quiet", "/apply", "/out", "m"}, Command::kMeasure, 0, true, ""},
      {{"/measure"}, Command::kMeasure, 0, false, ""},
      {{"/measure", "/quiet"}, Command::kMeasure, 0, true, "/measure needs a host"},
      {{"/report", "/apply"}, Command::kReport, 0, false, "/apply goes with /measure only"},
      // clang-format on
  };
  for (const auto& c : cases) {
    const CommandArguments parsed = ParseCommandLine(c.args);
    const std::string line = c.args.empty() ? "(none)" : c.args[0] + " ...";
    const bool errorAsMeant = parsed.error.find(c.error) != std::string::npos &&
                              parsed.error.empty() == (*c.error == '\0');
    EXPECT_TRUE(parsed.command == c.command && parsed.type == c.type && parsed.quiet == c.quiet &&
                errorAsMeant)
        << line << ": " << parsed.error;
  }
}

TEST(CommandLine, EveryConnectionTypeHasANumberAndAName) {
  const char* names[] = {"modem56", "modem33", "cable", "pppoe", "lan", "satellite", "defaults"};
  for (int type = 1; type <= 7; ++type) {
    EXPECT_EQ(ConnectionTypeNamed(std::to_string(type)), type);
    EXPECT_EQ(ConnectionTypeNamed(names[type - 1]), type);
  }
  for (const char* other : {"0", "8", "", "Cable", "17"}) EXPECT_EQ(ConnectionTypeNamed(other), 0);
}

}  // namespace
}  // namespace veltrano
