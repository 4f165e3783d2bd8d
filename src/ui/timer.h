// A timer on the UI thread. Each timer owns a hidden window and a SetTimer on it:
// ticks arrive one at a time through the message loop, never inside the synchronous work
// of a handler, and a tick that comes while the previous one is still running (e.g. a
// message box shown from the handler) is skipped.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/window.h"

namespace veltrano::ui {

struct TimerArgs {
  unsigned interval = 1000;  // milliseconds
  bool enabled = false;
  // The widget the timer belongs to: its form counts each tick as one of its running
  // handlers (see Form::Release), so that the form is not deleted under a tick.
  Widget* owner = nullptr;
};

class Timer : public Window {
 public:
  explicit Timer(const TimerArgs& args = {});
  ~Timer() override;

  void SetEnabled(bool enabled);  // a disabled timer never ticks; may be called from a tick
  bool Enabled() const { return enabled_; }
  void SetInterval(unsigned interval);  // restarts the period when enabled
  unsigned Interval() const { return interval_; }

  std::function<void()> onTimer;  // runs inside the dispatcher, as a handler of the owner's form

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Arm();
  void Disarm();

  unsigned interval_;
  Widget* owner_;
  bool enabled_ = false;
  bool ticking_ = false;
};

}  // namespace veltrano::ui
