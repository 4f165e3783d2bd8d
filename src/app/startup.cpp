#include "app/startup.h"

#include <array>

#include "app/command_line.h"
#include "platform/convert.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/registry.h"

namespace veltrano {
namespace {

void ApplyOsIdentity(const OsVersionInfo& version, AppStateRecord& state) {
  const OsIdentity identity = IdentityForOsCode(DetectOsCode(version));
  state.OsCode = identity.osCode;
  state.Family = identity.family;
  state.SoftwareKeyName = identity.softwareKeyName;
  state.SystemKeyName = identity.systemKeyName;
  state.OsSuffix = identity.osSuffix;
}

std::string UninstallEntryPath(const std::string& softwareKeyName) {
  return "\\" + softwareKeyName + "\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrano_is1";
}

// On the first start after installation the uninstall entry is pointed at this
// program, so that removing it restores Windows defaults first.
void HandleFirstRun(TRegistry& registry, const std::string& exePath,
                    const std::string& softwareKeyName) {
  registry.RemoveValue("First");
  if (registry.OpenPath(UninstallEntryPath(softwareKeyName), false)) {
    registry.WriteText("UninstallString", "\"" + exePath + "\" " + kUninstallArgument);
  }
}

// The status of opening, for writing, the key where the runs keep the network settings
// (the services key above it where TCP/IP is not set up). Nothing is written to it. A
// ProgramKey that its installer opened to every user does not tell that the user may
// change the system's settings; on Windows Vista and later this key is not virtualised.
long NetworkKeyWriteStatus(RegistryApi& api, const AppStateRecord& state) {
  const std::string services = "\\" + state.SystemKeyName + "\\CurrentControlSet\\Services";
  TRegistry registry(api, kKeySetValue | kKeyCreateSubKey);
  registry.SelectRoot(kHkeyLocalMachine);
  const bool nt = state.Family == OsFamily::kNT;
  if (registry.OpenPath(services + (nt ? "\\Tcpip\\Parameters" : "\\VxD\\MSTCP"), false) ||
      registry.LastOpenStatus() != kErrorFileNotFound) {
    return registry.LastOpenStatus();
  }
  registry.OpenPath(services, false);
  return registry.LastOpenStatus();
}

}  // namespace

std::string StatusLineFor(const std::string& lastOptim) {
  std::string text = kStatusPrefix;
  try {
    text += ConnectionCaption(StrToInt(lastOptim));
  } catch (const EConvertError&) {
    // The installer always writes LastOptim; without a usable one the prefix stands alone.
  }
  return text;
}

StartupOutcome RunStartupSequence(RegistryApi& api, const StartupInputs& inputs,
                                  AppStateRecord& state) {
  state.DefaultsChained = false;
  state.DefaultsDone = false;
  state.DefaultsFailed = false;
  ApplyOsIdentity(inputs.version, state);

  StartupOutcome outcome;
  {
    TRegistry registry(api, kKeyAllAccess);
    registry.SelectRoot(kHkeyLocalMachine);
    state.WindowsDir = inputs.systemRoot ? inputs.systemRoot() : std::string();
    if (!registry.OpenPath(ProgramKeyPath(state.SoftwareKeyName), false)) {
      const bool refused = registry.LastOpenStatus() == kErrorAccessDenied;
      outcome.end = refused ? StartupEnd::kNeedsAdministrator : StartupEnd::kEndSilently;
      return outcome;
    }
    if (NetworkKeyWriteStatus(api, state) == kErrorAccessDenied) {
      outcome.end = StartupEnd::kNeedsAdministrator;
      return outcome;
    }
    state.LastOptim = registry.ReadText("LastOptim");
    state.ProgramDir = DirectoryOf(inputs.exePath);
    if (!inputs.quiet && registry.ReadText("First") == "Yes") {
      HandleFirstRun(registry, inputs.exePath, state.SoftwareKeyName);
      outcome.firstRunPending = true;
    }
  }  // the store closes its key here

  const std::vector<std::string>& arguments = inputs.arguments;
  const Command command = CommandNamed(arguments.empty() ? std::string() : arguments[0]);
  const std::string second = arguments.size() > 1 ? arguments[1] : std::string();
  if (command == Command::kUninstall) {
    outcome.end = StartupEnd::kUninstall;
    return outcome;
  }
  if (command == Command::kRestore) {
    outcome.end = StartupEnd::kRestore;
    outcome.restoreFile = second;
    return outcome;
  }
  if (command != Command::kWizard) {
    outcome.end = StartupEnd::kCommand;
    return outcome;
  }
  outcome.end = StartupEnd::kShowWizard;
  outcome.statusText = StatusLineFor(state.LastOptim);
  return outcome;
}

}  // namespace veltrano
