// The optimizing window TForm3, and the frame it shares with the Windows-defaults
// window TForm6: a gauge, a step caption, the result text, "Restart Computer" and
// "Don't Restart Computer", the 25 ms progress timer and the restart component.
// Each window does its whole run inside its creation handler; the animation follows.
#pragma once

// First, so that platform/shutdown.h can take back the ExitWindows macro for good.
#include <windows.h>

#include <string>

#include "engine/profile_files.h"
#include "engine/progress.h"
#include "engine/runs.h"
#include "platform/app_state.h"
#include "platform/shutdown.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/needle_gauge.h"
#include "ui/timer.h"

namespace veltrano {

inline constexpr int kRunFormClientWidth = 348;
inline constexpr int kRunFormClientHeight = 301;
inline constexpr unsigned kProgressInterval = 25;  // milliseconds per tick

// The environment of a run in this program: the folders and names AppState holds, over
// the system's registry and INI writer.
RunEnvironment SystemRunEnvironment(const AppStateRecord& state);

// The warning box for a profile or work file that cannot be opened, then the end of
// the program. Nothing has been written at that point.
[[noreturn]] void ReportMissingFileAndEnd();

// What tells one run window from the other.
struct RunFormLook {
  const char* className;
  const char* caption;
  const char* gaugeCaption;
  const char* resultText;  // Label1
  int resultTextHeight;    // room for its lines
  const ProgressCaptions& captions;
  bool visibleAfterCreate;
  bool timerEnabled;
};

class RunProgressForm : public ui::Form {
 public:
  ui::NeedleGauge VrMeter1;
  ui::Label Label2;
  ui::Label Label1;
  ui::Button RzButton1;  // "Restart Computer"
  ui::Button RzButton2;  // "Don't Restart Computer"
  ui::Timer VrTimer1;
  TabfShutdown abfShutdown1;

  void VrTimer1Timer();   // one step of the animation
  void RzButton1Click();  // asks for a reboot; the window stays
  void RzButton2Click();  // ends the program at once

  // True until the run has completed: while it is under way and after it stopped on
  // an error.
  bool RunFailed() const { return runState_ != RunState::kCompleted; }

 protected:
  RunProgressForm(const RunFormLook& look, ShutdownApi& shutdown);

  // Runs `run`, keeping its state for the animation: an error that leaves it (on its
  // way to the dispatcher, whose error box lets ticks through) marks the run as failed.
  // A missing profile ends the program.
  template <typename Run>
  void PerformRun(Run&& run) {
    runState_ = RunState::kUnderWay;
    try {
      run();
    } catch (const MissingProfileFile&) {
      ReportMissingFileAndEnd();
    } catch (...) {
      runState_ = RunState::kFailed;
      throw;
    }
    runState_ = RunState::kCompleted;
  }

  // Nothing while the run animates; once it has finished, as "Don't Restart Computer".
  void OnClose() override;

  // The texts that say what a completed run did: enabled at the end of the animation,
  // and taken away after a run that stopped on an error.
  virtual void EndResultTexts(bool completed);

  ProgressAnimation progress_;

 private:
  void ShowEnd(ProgressEnd end);

  RunState runState_ = RunState::kUnderWay;
};

// The optimizing window: applies the optimization profile of AppState().SelectedType.
class TForm3 : public RunProgressForm {
 public:
  explicit TForm3(ShutdownApi& shutdown = SystemShutdown());

  void FormCreate();

 protected:
  void OnCreate() override { FormCreate(); }
};

}  // namespace veltrano
