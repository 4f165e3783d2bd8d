#include "ui/timer.h"

#include "ui/application.h"
#include "ui/form.h"

namespace veltrano::ui {
namespace {

constexpr const char* kTimerClass = "TVeltranoTimer";
constexpr UINT_PTR kTimerId = 1;

// Clears the re-entry flag however the tick handler ends.
class TickScope {
 public:
  explicit TickScope(bool& ticking) : ticking_(ticking) { ticking_ = true; }
  ~TickScope() { ticking_ = false; }
  TickScope(const TickScope&) = delete;
  TickScope& operator=(const TickScope&) = delete;

 private:
  bool& ticking_;
};

}  // namespace

Timer::Timer(const TimerArgs& args) : interval_(args.interval), owner_(args.owner) {
  // A hidden top-level window that is never shown: message-only windows
  // exist from Windows 2000 on, and creating one fails on 95, 98, Me and NT 4.0.
  CreateHandle({.className = kTimerClass,
                .style = WS_POPUP,
                .exStyle = WS_EX_TOOLWINDOW,
                .background = nullptr});
  SetEnabled(args.enabled);
}

Timer::~Timer() {
  Disarm();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) {
    Arm();
  } else {
    Disarm();
  }
}

void Timer::SetInterval(unsigned interval) {
  interval_ = interval;
  if (enabled_) Arm();  // SetTimer on the same id replaces the period
}

void Timer::Arm() {
  if (hwnd_) SetTimer(hwnd_, kTimerId, interval_ == 0 ? 1 : interval_, nullptr);
}

void Timer::Disarm() {
  if (hwnd_) KillTimer(hwnd_, kTimerId);
}

LRESULT Timer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_TIMER || wParam != kTimerId) {
    return Window::HandleMessage(message, wParam, lParam);
  }
  // A tick reaching us while the previous one still runs (its handler pumps messages,
  // e.g. in a message box) is dropped: ticks never overlap.
  if (!enabled_ || ticking_ || !onTimer) return 0;
  TickScope scope(ticking_);
  // The error box of a failed tick runs inside the tick too: a release of the owner's
  // form asked for meanwhile waits until the tick has returned.
  FormHandlerScope running(owner_ ? Form::FromHandle(TopLevelWindowOf(owner_->Handle())) : nullptr);
  Application().Dispatch(onTimer);
  return 0;
}

}  // namespace veltrano::ui
