#include "app/command_line.h"

namespace veltrano {
namespace {

enum class Operand {
  kNone,
  kType,          // required: a connection type
  kFileOrBefore,  // optional: a backup file or "before"
};

struct CommandSpec {
  const char* name;
  Command command;
  Operand operand;
  const char* usage;
};

// One row a command; a new one needs a row here and an operation of the same Command.
constexpr CommandSpec kCommands[] = {
    {"/optimize", Command::kOptimize, Operand::kType, "/optimize T"},
    {"/changes", Command::kChanges, Operand::kType, "/changes T"},
    {"/restore", Command::kRestore, Operand::kFileOrBefore, "/restore before|FILE"},
    {"/report", Command::kReport, Operand::kNone, "/report"},
    {"/uninstall", Command::kUninstall, Operand::kNone, "/uninstall [/settings defaults|before]"},
};

struct ModifierSpec {
  const char* name;
  bool CommandArguments::*flag;          // set by the modifier alone
  std::string CommandArguments::*value;  // or taken from the next argument
};

constexpr ModifierSpec kModifiers[] = {
    {"/quiet", &CommandArguments::quiet, nullptr},
    {"/restart", &CommandArguments::restart, nullptr},
    {"/log", nullptr, &CommandArguments::logFile},
    {"/out", nullptr, &CommandArguments::outFile},
    {"/settings", nullptr, &CommandArguments::settings},
};

constexpr const char* kTypeNames[] = {"modem56", "modem33",   "cable",   "pppoe",
                                      "lan",     "satellite", "defaults"};

const CommandSpec* FindCommand(const std::string& name) {
  for (const CommandSpec& spec : kCommands) {
    if (name == spec.name) return &spec;
  }
  return nullptr;
}

const ModifierSpec* FindModifier(const std::string& name) {
  for (const ModifierSpec& spec : kModifiers) {
    if (name == spec.name) return &spec;
  }
  return nullptr;
}

// Why the operand is wrong, or "".
std::string TakeOperand(const CommandSpec& spec, const std::vector<std::string>& arguments,
                        std::size_t& next, CommandArguments& parsed) {
  if (spec.operand == Operand::kNone) return "";
  if (next < arguments.size() && !FindModifier(arguments[next])) {
    parsed.operand = arguments[next++];
  }
  if (spec.operand == Operand::kFileOrBefore) return "";
  if (parsed.operand.empty()) return std::string(spec.name) + " needs a connection type";
  parsed.type = ConnectionTypeNamed(parsed.operand);
  return parsed.type ? "" : parsed.operand + " is no connection type";
}

// Why the modifiers are wrong, or "".
std::string TakeModifiers(const std::vector<std::string>& arguments, std::size_t next,
                          CommandArguments& parsed) {
  while (next < arguments.size()) {
    const ModifierSpec* spec = FindModifier(arguments[next]);
    if (!spec) return arguments[next] + " is not understood here";
    ++next;
    if (spec->flag) {
      parsed.*spec->flag = true;
      continue;
    }
    if (next == arguments.size() || arguments[next].empty()) {
      return std::string(spec->name) + " needs a value";
    }
    parsed.*spec->value = arguments[next++];
  }
  return "";
}

// Why modifiers and command do not go together, or "".
std::string CheckCombination(const CommandArguments& parsed) {
  const bool lists = parsed.command == Command::kChanges || parsed.command == Command::kReport;
  if (!parsed.outFile.empty() && !lists) return "/out goes with /changes and /report only";
  if (!parsed.settings.empty() && parsed.command != Command::kUninstall) {
    return "/settings goes with /uninstall only";
  }
  if (!parsed.settings.empty() && parsed.settings != "defaults" &&
      parsed.settings != kRestoreBeforeOperand) {
    return "/settings takes defaults or before";
  }
  if (parsed.quiet && parsed.command == Command::kRestore &&
      parsed.operand != kRestoreBeforeOperand) {
    return "with /quiet, /restore takes before only";
  }
  return "";
}

}  // namespace

CommandArguments ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandArguments parsed;
  for (const std::string& argument : arguments) {
    if (argument == "/quiet") parsed.quiet = true;  // known even on a line that is wrong
  }
  if (arguments.empty()) return parsed;
  const CommandSpec* spec = FindCommand(arguments[0]);
  if (!spec) {
    parsed.error = arguments[0] + " is no command";
    return parsed;
  }
  parsed.command = spec->command;
  std::size_t next = 1;
  parsed.error = TakeOperand(*spec, arguments, next, parsed);
  if (parsed.error.empty()) parsed.error = TakeModifiers(arguments, next, parsed);
  if (parsed.error.empty()) parsed.error = CheckCombination(parsed);
  return parsed;
}

Command CommandNamed(const std::string& argument) {
  const CommandSpec* spec = FindCommand(argument);
  return spec ? spec->command : Command::kWizard;
}

bool WindowsIgnoreError(const CommandArguments& arguments) {
  return arguments.command == Command::kWizard || arguments.command == Command::kUninstall ||
         arguments.command == Command::kRestore;
}

int ConnectionTypeNamed(const std::string& name) {
  if (name.size() == 1 && name[0] >= '1' && name[0] <= '7') return name[0] - '0';
  for (int type = 1; type <= 7; ++type) {
    if (name == kTypeNames[type - 1]) return type;
  }
  return 0;
}

std::string UsageText() {
  std::string text = "Veltrano.exe COMMAND [/quiet] [/log FILE] [/out FILE] [/restart]\r\nCOMMAND:";
  for (const CommandSpec& spec : kCommands) text += std::string(" ") + spec.usage;
  return text +
         "\r\nT: 1-7, modem56, modem33, cable, pppoe, lan, satellite, defaults\r\n"
         "/quiet: no window; the result goes to Veltrano.log or /log FILE\r\n"
         "Exit: 0 done, 1 wrong command line, 2 refused, 3 no administrator rights, 4 failed "
         "part-way, 5 already running, 6 nothing measured";
}

}  // namespace veltrano
