// The main window TForm1. It runs the single-instance check while it is built, posts
// itself the start-up message, and shows the wizard with the last applied type in its
// status line once start-up has run.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/single_instance.h"
#include "ui/controls.h"
#include "ui/form.h"

namespace veltrano {

// The private message that starts the start-up sequence (WM_USER + 2).
inline constexpr unsigned kStartupMessage = 0x0400 + 2;

struct CommandLine {
  std::string exePath;                 // element 0, the executable's full path
  std::vector<std::string> arguments;  // element 1 onward
};

class TForm1 : public ui::Form {
 public:
  explicit TForm1(CommandLine commandLine);

  ui::StatusBar SB1;
  ui::Label Label1;

  // False when another instance was found while the window was built.
  bool IsOnlyInstance() const { return onlyInstance_; }
  bool StartupDone() const { return startupDone_; }

  // Hands for the parts that later windows fill: uninstall mode and the first-run
  // notice. Uninstall mode ends the program, at once when no hand is given.
  std::function<void()> onUninstallMode;
  std::function<void()> onFirstRun;

 protected:
  void OnCreate() override;  // FormCreate
  void OnClose() override;   // FormClose
  bool OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void RunStartupSequence();

  CommandLine commandLine_;
  TabfOneInstance abfOneInstance1_;
  bool onlyInstance_ = true;
  bool startupDone_ = false;
};

}  // namespace veltrano
