#include "app/anaekran.h"

#include "app/about.h"
#include "app/advanced_mode.h"
#include "app/chained_defaults.h"
#include "app/justone.h"
#include "app/page_layout.h"
#include "app/restar.h"
#include "app/single_instance_reaction.h"
#include "app/startup.h"
#include "engine/changes_window.h"
#include "engine/optimizing.h"
#include "engine/profile_files.h"
#include "engine/windef.h"
#include "platform/app_state.h"
#include "platform/files.h"
#include "platform/os_version.h"
#include "platform/registry_api.h"
#include "platform/system_root.h"
#include "ui/application.h"
#include "ui/embedded_pictures.h"
#include "ui/startup_trace.h"

namespace veltrano {
namespace {

ui::FormArgs MainFormArgs() {
  ui::FormArgs args;
  args.caption = kApplicationTitle;
  args.clientWidth = 457;
  args.clientHeight = 322;
  args.borderIcons = ui::kIconSystemMenu | ui::kIconMinimize;
  args.frame = ui::FrameStyle::kSingle;
  args.taskbarButton = true;
  args.className = "TForm1";
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
      Image1(*this, {.bounds = {16, 16, 105, 233}, .stretch = true, .description = "Veltrano"}),
      VrMatrix1(*this, {.text = kMarqueeText, .bounds = {144, 16, 294, 23}, .cells = 26}),
      Label1(*this, {.text = kWelcomeHeading, .bounds = {152, 56, 0, 0}, .font = {.bold = true}}),
      RzBorder1(*this, {.bounds = {152, 80, 289, 2}}),
      wellcom1(*this, PopupMenu1),
      ilksecim1(*this, page_layout::Page(false), [this](Tilksecim& page) { BindButtons(page); }),
      modem1(*this, page_layout::Page(false), [this](Tmodem& page) { BindButtons(page); }),
      cabledsl1(*this, page_layout::Page(false), [this](Tcabledsl& page) { BindButtons(page); }),
      uygula1(*this, page_layout::Page(false), [this](Tuygula& page) { BindButtons(page); }),
      RzButton1(*this,
                {.text = "Advanced Mode", .bounds = {16, 264, 105, ui::kDefaultButtonHeight}}),
      SB1(*this, ui::StatusBarArgs{}),
      Starter1(ui::Application().Handle()),
      commandLine_(std::move(commandLine)),
      currentPage_(&wellcom1) {
  ui::trace::Mark("TForm1 controls built");
  Image1.SetBitmap(ui::LoadBitmapResource(GetModuleHandleA(nullptr), ui::kWizardPicture));
  ui::trace::Mark("wizard picture loaded");
  wellcom1.Button1.onClick = [this] { wellcom1Button1Click(); };
  wellcom1.Button2.onClick = [this] { wellcom1Button2Click(); };
  RzButton1.onClick = [this] { RzButton1Click(); };
  BuildOptionsMenu();
  SetActiveControl(wellcom1.Button1);
  onFirstRun = [] { ui::Application().CreateForm<TFirstrun>(); };
  // The guard runs while the window is built, before its creation handler.
  onlyInstance_ = CheckSingleInstance(abfOneInstance1_, ui::Application());
  ui::trace::Mark("single-instance check");
}

void TForm1::BindButtons(Tilksecim& page) {
  page.RzButton1.onClick = [this] { ilksecim1RzButton1Click(); };
  page.RzButton3.onClick = [this] { ilksecim1RzButton3Click(); };
  page.RzButton2.onClick = [this] { ilksecim1RzButton2Click(); };
}

void TForm1::BindButtons(Tmodem& page) {
  page.RzButton1.onClick = [this] { modem1RzButton1Click(); };
  page.RzButton3.onClick = [this] { modem1RzButton3Click(); };
  page.RzButton2.onClick = [this] { modem1RzButton2Click(); };
}

void TForm1::BindButtons(Tcabledsl& page) {
  page.RzButton1.onClick = [this] { cabledsl1RzButton1Click(); };
  page.RzButton3.onClick = [this] { cabledsl1RzButton3Click(); };
  page.RzButton2.onClick = [this] { cabledsl1RzButton2Click(); };
}

void TForm1::BindButtons(Tuygula& page) {
  page.RzButton1.onClick = [this] { uygula1RzButton1Click(); };
  page.RzButton4.onClick = [this] { uygula1RzButton4Click(); };
  page.RzButton3.onClick = [this] { uygula1RzButton3Click(); };
  page.RzButton2.onClick = [this] { uygula1RzButton2Click(); };
}

void TForm1::BuildOptionsMenu() {
  // The shortcuts are shown beside the captions only: no key is bound to them.
  PopupMenu1.AddItem("&Stay Alive", "Ctrl+S", [this] { VadiVazar1Click(); });
  PopupMenu1.AddItem("&Update", "Ctrl+U", [this] { Update1Click(); });
  PopupMenu1.AddItem("&About", "", [this] { About1Click(); });
  PopupMenu1.AddItem("&Help", "Ctrl+H", [this] { Help1Click(); });
  PopupMenu1.AddSeparator();
  PopupMenu1.AddItem("&Exit", "Ctrl+E", [this] { Exit1Click(); });
}

void TForm1::OnCreate() {
  // A second instance ends before its start-up step runs.
  if (onlyInstance_) Post(kStartupMessage, 0, 0);
}

void TForm1::OnClose() {
  EndAtOnce();
}

bool TForm1::OnUserMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
  if (message != kStartupMessage) return false;
  result = 0;
  if (!startupDone_) {
    startupDone_ = true;
    ui::trace::Mark("start-up message");
    ui::TApplication& application = ui::Application();
    // A start-up that stopped on an error has shown it; with no window up, ending is
    // the only way out (the single-instance lock goes with the process).
    if (!application.Dispatch([this] { RunStartupSequence(); }) && !IsVisible() &&
        !application.Halted()) {
      application.Halt(kEndedOnError);
    }
  }
  return true;
}

void TForm1::RunStartupSequence() {
  StartupInputs inputs{QueryOsVersion(), commandLine_.exePath, commandLine_.arguments, SystemRoot};
  const StartupOutcome outcome = veltrano::RunStartupSequence(SystemRegistry(), inputs, AppState());
  switch (outcome.end) {
    case StartupEnd::kEndSilently:
      ui::Application().Halt(0);
    case StartupEnd::kNeedsAdministrator:
      ui::Application().ShowMessageBox(kNeedsAdministratorText, kApplicationTitle,
                                       MB_OK | MB_ICONSTOP);
      ui::Application().Halt(kEndedOnError);
    case StartupEnd::kUninstall:
      if (onUninstallMode) onUninstallMode();
      ui::Application().Halt(0);
    case StartupEnd::kRestore:
      // Ends in the restart prompt, which ends the program.
      if (onRestoreMode) onRestoreMode(outcome.restoreFile);
      return;
    case StartupEnd::kCommand:
      // Ends the program, or leaves the restart prompt up.
      if (onCommand) onCommand();
      return;
    case StartupEnd::kShowWizard:
      ui::trace::Mark("start-up sequence done");
      SB1.SetSimpleText(outcome.statusText);
      Show();
      ui::trace::Mark("wizard shown");
      if (outcome.firstRunPending && onFirstRun) onFirstRun();
      return;
  }
}

// ---- Pages

void TForm1::ShowPage(ui::Frame& page, const char* heading) {
  page.Realize();  // a page whose controls cannot be made is not switched to
  currentPage_->SetVisible(false);
  Label1.SetCaption(heading);
  page.SetVisible(true);
  currentPage_ = &page;
  FocusDefaultButton();
}

void TForm1::FocusDefaultButton() {
  // Enter and the focus start from the page's default button, as in a dialog.
  if (ui::Widget* button = ui::Widget::FromHandle(DefaultButton())) SetActiveControl(*button);
}

void TForm1::EndAtOnce() {
  ui::Application().Halt(0);
}

void TForm1::wellcom1Button1Click() {
  ShowPage(ilksecim1, kConnectionHeading);
}

void TForm1::wellcom1Button2Click() {
  EndAtOnce();
}

void TForm1::ilksecim1RzButton1Click() {
  struct Choice {
    const ui::RadioButton& button;
    ui::Frame& page;
    const char* heading;
    std::uint8_t selectedType;  // 0: chosen on the next page
  };
  const Choice choices[] = {
      {ilksecim1->RadioButton1, modem1, kModemHeading, 0},
      {ilksecim1->RadioButton2, cabledsl1, kCableHeading, 0},
      {ilksecim1->RadioButton3, uygula1, kReadyHeading, 5},
      {ilksecim1->RadioButton4, uygula1, kReadyHeading, 6},
      {ilksecim1->RadioButton5, uygula1, kReadyHeading, kWindowsDefaultsType},
  };
  for (const Choice& choice : choices) {
    if (!choice.button.Checked()) continue;
    if (choice.selectedType) AppState().SelectedType = choice.selectedType;
    ShowPage(choice.page, choice.heading);
    return;
  }
}

void TForm1::ilksecim1RzButton3Click() {
  ShowPage(wellcom1, kWelcomeHeading);
}

void TForm1::ilksecim1RzButton2Click() {
  EndAtOnce();
}

void TForm1::modem1RzButton1Click() {
  AppState().SelectedType = modem1->RadioButton1.Checked() ? 1 : 2;
  ShowPage(uygula1, kReadyHeading);
}

void TForm1::modem1RzButton3Click() {
  ShowPage(ilksecim1, kConnectionHeading);
}

void TForm1::modem1RzButton2Click() {
  EndAtOnce();
}

void TForm1::cabledsl1RzButton1Click() {
  AppState().SelectedType = cabledsl1->RadioButton1.Checked() ? 3 : 4;
  ShowPage(uygula1, kReadyHeading);
}

void TForm1::cabledsl1RzButton3Click() {
  ShowPage(ilksecim1, kConnectionHeading);
}

void TForm1::cabledsl1RzButton2Click() {
  EndAtOnce();
}

void TForm1::uygula1RzButton1Click() {
  AppStateRecord& state = AppState();
  if (state.SelectedType == kWindowsDefaultsType) {
    // The defaults run on its own, whatever LastOptim holds.
    state.DefaultsChained = false;
    Hide();
    ui::Application().CreateForm<TForm6>();
    return;
  }
  // A chained run that stopped on an error has shown its error box already; going on
  // would optimize a system that is only partly back at its defaults.
  if (!RunChainedDefaults()) ui::Application().Halt(kEndedOnError);
  Hide();
  ui::Application().CreateForm<TForm3>();
}

void TForm1::uygula1RzButton4Click() {
  const AppStateRecord& state = AppState();
  const ChangePlan plan =
      PlanWizardOptimize(SystemRunEnvironment(state), state.LastOptim, state.SelectedType);
  ShowChanges(
      ChangesHeadline("Optimize for " + ConnectionCaption(state.SelectedType), plan.rows.size()),
      plan);
}

void TForm1::uygula1RzButton3Click() {
  switch (AppState().SelectedType) {
    case 1:
    case 2:
      ShowPage(modem1, kModemHeading);
      return;
    case 3:
    case 4:
      ShowPage(cabledsl1, kCableHeading);
      return;
    default:
      ShowPage(ilksecim1, kConnectionHeading);
      return;
  }
}

void TForm1::uygula1RzButton2Click() {
  EndAtOnce();
}

void TForm1::RzButton1Click() {
  OpenAdvancedMode(*this, [] { ui::Application().CreateForm<Trestart>(); });
}

// ---- Program options

void TForm1::LaunchCompanion(const char* file) {
  // The folder is taken afresh from the running executable, not from AppState.
  Starter1.ExecFromFolder(DirectoryOf(ExecutablePath()), file);
}

void TForm1::VadiVazar1Click() {
  LaunchCompanion("VadiVazar.Exe");
}

void TForm1::Update1Click() {
  LaunchCompanion("Update.Exe");
}

void TForm1::About1Click() {
  if (!aboutBox_) aboutBox_ = &ui::Application().CreateForm<TForm8>();
  aboutBox_->ShowModal();
}

void TForm1::Help1Click() {
  LaunchCompanion("Veltrano.Chm");
}

void TForm1::Exit1Click() {
  EndAtOnce();
}

}  // namespace veltrano
