// The main window TForm1: the five-page connection wizard. It runs the single-instance
// check while it is built, posts itself the start-up message, shows the wizard with the
// last applied type in its status line once start-up has run, and hands over to a run
// window or to advanced mode.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/cabledslf.h"
#include "app/ilksecimf.h"
#include "app/modemf.h"
#include "app/uygulaf.h"
#include "app/wellcomf.h"
#include "platform/launcher.h"
#include "platform/single_instance.h"
#include "ui/controls.h"
#include "ui/deferred_frame.h"
#include "ui/form.h"
#include "ui/led_marquee.h"
#include "ui/menu.h"
#include "ui/picture.h"

namespace veltrano {

class TForm8;

// The private message that starts the start-up sequence (WM_USER + 2).
inline constexpr unsigned kStartupMessage = 0x0400 + 2;

inline constexpr char kWelcomeHeading[] = "Welcome to the Veltrano Wizard!";
inline constexpr char kConnectionHeading[] = "Please select your connection type!";
inline constexpr char kModemHeading[] = "Please select your modem type!";
inline constexpr char kCableHeading[] = "Please select your cable or xDSL type!";
inline constexpr char kReadyHeading[] = "Are you ready for the Veltrano?";
inline constexpr char kMarqueeText[] =
    "Thank you for using Veltrano Connection Speed-Up Utility...";

struct CommandLine {
  std::string exePath;                 // element 0, the executable's full path
  std::vector<std::string> arguments;  // element 1 onward
};

class TForm1 : public ui::Form {
 public:
  explicit TForm1(CommandLine commandLine);

  ui::Picture Image1;
  ui::LedMarquee VrMatrix1;
  ui::Label Label1;  // the page heading
  ui::Bevel RzBorder1;
  ui::PopupMenu PopupMenu1;  // program options, dropped from the welcome page
  Twellcom wellcom1;
  // The pages after the first make their controls when first shown.
  ui::DeferredFrame<Tilksecim> ilksecim1;
  ui::DeferredFrame<Tmodem> modem1;
  ui::DeferredFrame<Tcabledsl> cabledsl1;
  ui::DeferredFrame<Tuygula> uygula1;
  ui::Button RzButton1;  // "Advanced Mode", on every page
  ui::StatusBar SB1;
  TBUExecute Starter1;

  // False when another instance was found while the window was built.
  bool IsOnlyInstance() const { return onlyInstance_; }
  bool StartupDone() const { return startupDone_; }
  // The page shown now: one of the five frames.
  const ui::Frame& CurrentPage() const { return *currentPage_; }

  // Hands for the parts that other windows fill. By default uninstall mode ends the
  // program and the first run creates the first-run notice TFirstrun.
  std::function<void()> onUninstallMode;
  std::function<void(const std::string& chosenFile)> onRestoreMode;
  std::function<void()> onCommand;  // any other command of the command line
  std::function<void()> onFirstRun;

  // The buttons of the pages.
  void wellcom1Button1Click();     // Welcome, "&Next >"
  void wellcom1Button2Click();     // Welcome, "&Exit"
  void ilksecim1RzButton1Click();  // Connection type, "&Next >": type selection
  void ilksecim1RzButton3Click();  // Connection type, "< &Back"
  void ilksecim1RzButton2Click();  // Connection type, "&Exit"
  void modem1RzButton1Click();     // Modem, "&Next >"
  void modem1RzButton3Click();     // Modem, "< &Back"
  void modem1RzButton2Click();     // Modem, "&Exit"
  void cabledsl1RzButton1Click();  // Cable or xDSL, "&Next >"
  void cabledsl1RzButton3Click();  // Cable or xDSL, "< &Back"
  void cabledsl1RzButton2Click();  // Cable or xDSL, "&Exit"
  void uygula1RzButton1Click();    // Optimize, "Optimize": starts the run
  void uygula1RzButton4Click();    // Optimize, "Show &Changes...": what the run would change
  void uygula1RzButton3Click();    // Optimize, "< &Back"
  void uygula1RzButton2Click();    // Optimize, "&Exit"
  void RzButton1Click();           // "Advanced Mode"

  // The commands of the program options menu.
  void VadiVazar1Click();  // "&Stay Alive"
  void Update1Click();     // "&Update"
  void About1Click();      // "&About"
  void Help1Click();       // "&Help"
  void Exit1Click();       // "&Exit"

 protected:
  void OnCreate() override;  // FormCreate
  void OnClose() override;   // FormClose
  bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void BindButtons(Tilksecim& page);
  void BindButtons(Tmodem& page);
  void BindButtons(Tcabledsl& page);
  void BindButtons(Tuygula& page);
  void BuildOptionsMenu();
  void RunStartupSequence();
  void ShowPage(ui::Frame& page, const char* heading);
  void FocusDefaultButton();
  // Starts a companion file of the program's folder; a missing one is not reported.
  void LaunchCompanion(const char* file);
  [[noreturn]] void EndAtOnce();

  CommandLine commandLine_;
  TabfOneInstance abfOneInstance1_;
  ui::Frame* currentPage_ = nullptr;
  TForm8* aboutBox_ = nullptr;  // made by the first "&About", then shown again
  bool onlyInstance_ = true;
  bool startupDone_ = false;
};

}  // namespace veltrano
