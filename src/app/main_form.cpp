#include "app/main_form.h"

#include "app/single_instance_reaction.h"
#include "app/startup.h"
#include "platform/app_state.h"
#include "platform/os_version.h"
#include "platform/registry_api.h"
#include "platform/system_root.h"
#include "ui/application.h"

namespace veltrano {
namespace {

ui::FormArgs MainFormArgs() {
  ui::FormArgs args;
  args.caption = kApplicationTitle;
  args.clientWidth = 457;
  args.clientHeight = 322;
  args.borderIcons = ui::kIconSystemMenu | ui::kIconMinimize;
  args.frame = ui::FrameStyle::kSingle;
  args.className = "TForm1";
  return args;
}

ui::LabelArgs HeadingArgs() {
  ui::LabelArgs args;
  args.text = "Welcome to the Veltrano Wizard!";
  args.bounds = {152, 56, 0, 0};
  args.font.bold = true;
  return args;
}

std::string LastErrorText() {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, GetLastError(), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
  std::string text = length ? std::string(buffer, length) : std::string();
  LocalFree(buffer);
  return text;
}

// The system-root lookup reports in a box of its own, owned by the desktop.
void ReportSystemRootFailure(const std::string& text) {
  ui::Application().ShowMessageBox(text, "", MB_ICONERROR | MB_OK, GetDesktopWindow());
}

std::string SystemRoot() {
  return LookupSystemRoot(SystemRegistry(), QueryOsVersion().platformId, ReportSystemRootFailure,
                          LastErrorText());
}

}  // namespace

TForm1::TForm1(CommandLine commandLine)
    : ui::Form(MainFormArgs()),
      SB1(*this, ui::StatusBarArgs{}),
      Label1(*this, HeadingArgs()),
      commandLine_(std::move(commandLine)) {
  // The guard runs while the window is built, before its creation handler.
  onlyInstance_ = CheckSingleInstance(abfOneInstance1_, ui::Application());
}

void TForm1::OnCreate() {
  // A second instance ends before its start-up step runs.
  if (onlyInstance_) Post(kStartupMessage, 0, 0);
}

void TForm1::OnClose() {
  ui::Application().Halt(0);
}

bool TForm1::OnUserMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message != kStartupMessage) return false;
  result = 0;
  if (!startupDone_) {
    startupDone_ = true;
    RunStartupSequence();
  }
  return true;
}

void TForm1::RunStartupSequence() {
  StartupInputs inputs{QueryOsVersion(), commandLine_.exePath, commandLine_.arguments, SystemRoot};
  const StartupOutcome outcome = veltrano::RunStartupSequence(SystemRegistry(), inputs, AppState());
  switch (outcome.end) {
    case StartupEnd::kEndSilently:
      ui::Application().Halt(0);
    case StartupEnd::kUninstall:
      if (onUninstallMode) onUninstallMode();
      ui::Application().Halt(0);
    case StartupEnd::kShowWizard:
      SB1.SetSimpleText(outcome.statusText);
      Show();
      if (outcome.firstRunPending && onFirstRun) onFirstRun();
      return;
  }
}

}  // namespace veltrano
