#include "engine/windef.h"

namespace veltrano {
namespace {

const RunFormLook kDefaultsLook{
    .className = "TForm6",
    .caption = "Windows Default Settings",
    .gaugeCaption = "Completed %",
    .resultText = "Your system is now WINDOWS DEFAULT SETTINGS.",
    .resultTextHeight = 16,
    .captions = kDefaultsCaptions,
    .visibleAfterCreate = false,  // the run decides
    .timerEnabled = false,
};

// Ends a chained run however it ends: the caller waits for DefaultsDone without
// handling messages, so a run that stops on an error must set it too, and marks itself
// failed so that the caller does not go on as if the defaults were restored.
class ChainedRunEnd {
 public:
  ChainedRunEnd(RunProgressForm& form, bool chained) : form_(form), chained_(chained) {}
  ~ChainedRunEnd() {
    if (!chained_) return;
    AppStateRecord& state = AppState();
    state.DefaultsFailed = form_.RunFailed();
    state.DefaultsDone = true;
    form_.Release();
  }
  ChainedRunEnd(const ChainedRunEnd&) = delete;
  ChainedRunEnd& operator=(const ChainedRunEnd&) = delete;

 private:
  RunProgressForm& form_;
  bool chained_;
};

}  // namespace

TForm6::TForm6(ShutdownApi& shutdown)
    : RunProgressForm(kDefaultsLook, shutdown),
      Label3(*this, {.text = "You must restart your computer to changes effect.",
                     .bounds = {8, 214, kRunFormClientWidth - 16, 16},
                     .alignment = ui::Alignment::kCenter,
                     .enabled = false}) {}

void TForm6::FormCreate() {
  progress_.Reset();
  const bool chained = AppState().DefaultsChained;
  if (!chained) {
    Show();
    VrTimer1.SetEnabled(true);
  }
  ChainedRunEnd end(*this, chained);
  PerformRun([chained] {
    const AppStateRecord& state = AppState();
    RunWindowsDefaults(SystemRunEnvironment(state), state.LastOptim, chained);
  });
}

void TForm6::EndResultTexts(bool completed) {
  RunProgressForm::EndResultTexts(completed);
  Label3.SetEnabled(completed);
  Label3.SetVisible(completed);
}

}  // namespace veltrano
