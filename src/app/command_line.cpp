#include "app/command_line.h"

namespace veltrano {
namespace {

enum class Operand {
  kNone,
  kType,          // required: a connection type
  kFileOrBefore,  // optional: a backup file or "before"
  kHost,          // a host name or address; only the measure window goes without
};

struct CommandRow {
  const char* name;
  Command command;
  Operand operand;
  const char* usage;
};

// One row a command; a new one needs a row here and an operation of the same Command.
constexpr CommandRow kCommands[] = {
    {"/optimize", Command::kOptimize, Operand::kType, "/optimize T"},
    {"/changes", Command::kChanges, Operand::kType, "/changes T"},
    {"/restore", Command::kRestore, Operand::kFileOrBefore, "/restore before|FILE"},
    {"/report", Command::kReport, Operand::kNone, "/report"},
    {"/measure", Command::kMeasure, Operand::kHost, "/measure HOST [/apply]"},
    {"/uninstall", Command::kUninstall, Operand::kNone, "/uninstall [/settings defaults|before]"},
};

struct ModifierRow {
  const char* name;
  bool CommandArguments::*flag;          // set by the modifier alone
  std::string CommandArguments::*value;  // or taken from the next argument
};

constexpr ModifierRow kModifiers[] = {
    {"/quiet", &CommandArguments::quiet, nullptr},
    {"/restart", &CommandArguments::restart, nullptr},
    {"/apply", &CommandArguments::apply, nullptr},
    {"/log", nullptr, &CommandArguments::logFile},
    {"/out", nullptr, &CommandArguments::outFile},
    {"/settings", nullptr, &CommandArguments::settings},
};

constexpr const char* kTypeNames[] = {"modem56", "modem33",   "cable",   "pppoe",
                                      "lan",     "satellite", "defaults"};

const CommandRow* FindCommand(const std::string& name) {
  for (const CommandRow& row : kCommands) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

const ModifierRow* FindModifier(const std::string& name) {
  for (const ModifierRow& row : kModifiers) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

// Why the operand is wrong, or "".
std::string TakeOperand(const CommandRow& row, const std::vector<std::string>& arguments,
                        std::size_t& next, CommandArguments& parsed) {
  if (row.operand == Operand::kNone) return "";
  if (next < arguments.size() && !FindModifier(arguments[next])) {
    parsed.operand = arguments[next++];
  }
  if (row.operand != Operand::kType) return "";
  if (parsed.operand.empty()) return std::string(row.name) + " needs a connection type";
  parsed.type = ConnectionTypeNamed(parsed.operand);
  return parsed.type ? "" : parsed.operand + " is no connection type";
}

// Why the modifiers are wrong, or "".
std::string TakeModifiers(const std::vector<std::string>& arguments, std::size_t next,
                          CommandArguments& parsed) {
  while (next < arguments.size()) {
    const ModifierRow* row = FindModifier(arguments[next]);
    if (!row) return arguments[next] + " is not understood here";
    ++next;
    if (row->flag) {
      parsed.*row->flag = true;
      continue;
    }
    if (next == arguments.size() || arguments[next].empty()) {
      return std::string(row->name) + " needs a value";
    }
    parsed.*row->value = arguments[next++];
  }
  return "";
}

// Why modifiers and command do not go together, or "".
std::string CheckCombination(const CommandArguments& parsed) {
  const bool lists = parsed.command == Command::kChanges || parsed.command == Command::kReport ||
                     parsed.command == Command::kMeasure;
  if (!parsed.outFile.empty() && !lists) return "/out goes with /changes, /report and /measure";
  if (parsed.apply && parsed.command != Command::kMeasure) return "/apply goes with /measure only";
  if (parsed.quiet && parsed.command == Command::kMeasure && parsed.operand.empty()) {
    return "/measure needs a host";
  }
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
  const CommandRow* row = FindCommand(arguments[0]);
  if (!row) {
    parsed.error = arguments[0] + " is no command";
    return parsed;
  }
  parsed.command = row->command;
  std::size_t next = 1;
  parsed.error = TakeOperand(*row, arguments, next, parsed);
  if (parsed.error.empty()) parsed.error = TakeModifiers(arguments, next, parsed);
  if (parsed.error.empty()) parsed.error = CheckCombination(parsed);
  return parsed;
}

Command CommandNamed(const std::string& argument) {
  const CommandRow* row = FindCommand(argument);
  return row ? row->command : Command::kWizard;
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
  for (const CommandRow& row : kCommands) text += std::string(" ") + row.usage;
  return text +
         "\r\nT: 1-7, modem56, modem33, cable, pppoe, lan, satellite, defaults\r\n"
         "/quiet: no window; the result goes to Veltrano.log or /log FILE\r\n"
         "Exit: 0 done, 1 wrong command line, 2 refused, 3 no administrator rights, 4 failed "
         "part-way, 5 already running, 6 nothing measured";
}

}  // namespace veltrano
