// The progress animation both run windows show after their run: 100 ticks that move
// the gauge and change the step caption, then the finished state; or, after a run that
// stopped on an error, the stopped state at once, the gauge left where it stands. The
// captions do not follow the run, which has normally ended when the first tick comes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace veltrano {

// The step captions of one window, chosen by the gauge position the previous tick set.
struct ProgressCaptions {
  std::string_view reading;     // positions 20 to 40
  std::string_view applying;    // 41 to 60
  std::string_view secret;      // 61 to 80
  std::string_view finalizing;  // 81 to 99
  std::string_view finished;    // the last tick of a run that completed
};

inline constexpr std::string_view kStartingCaption = "Starting Optimizing Please Wait...";
// The tick after a run stopped on an error: the window must not claim success.
inline constexpr std::string_view kStoppedOnErrorCaption = "Stopped on an error.";

inline constexpr ProgressCaptions kOptimizingCaptions{
    .reading = "Reading Database...",
    .applying = "Optimizing Registry...",
    .secret = "Optimizing Secret Settings...",
    .finalizing = "Finalizing Settings...",
    .finished = "Finished.",
};

inline constexpr ProgressCaptions kDefaultsCaptions{
    .reading = "Reading Database...",
    .applying = "Default Registry Settings...",
    .secret = "Default Secret Settings...",
    .finalizing = "Finalizing Settings...",
    .finished = "Finished Windows Default Settings.",
};

inline constexpr int kProgressTicks = 100;

// How the animation ends on its last tick.
enum class ProgressEnd {
  kNone,       // not the last tick
  kCompleted,  // the run completed: result texts and both buttons enabled
  kFailed,     // the run stopped on an error: no result texts, only "Don't Restart Computer"
};

// Where the run behind the window stands at a tick.
enum class RunState {
  kUnderWay,  // ticks come only through a box the run shows: the end waits for the run
  kCompleted,
  kFailed,
};

// What one tick asks of the window, in this order: caption (if any), end state (if
// any, the timer stops), then the gauge position.
struct ProgressStep {
  std::optional<std::string_view> caption;
  ProgressEnd end = ProgressEnd::kNone;
  int position = 0;
};

// The caption for the gauge position of the previous tick; none below 20 or from 100 on.
std::optional<std::string_view> StepCaptionFor(const ProgressCaptions& captions,
                                               int previousPosition);

class ProgressAnimation {
 public:
  explicit ProgressAnimation(const ProgressCaptions& captions) : captions_(captions) {}

  void Reset() { counter_ = 0; }
  std::uint8_t Counter() const { return counter_; }
  bool Finished() const { return counter_ >= kProgressTicks; }

  // One tick. `previousPosition` is the gauge position now (set by the previous tick).
  // A tick after the last one (a late timer message) changes nothing.
  ProgressStep Tick(int previousPosition, RunState run);

 private:
  const ProgressCaptions& captions_;
  std::uint8_t counter_ = 0;  // ticks so far, 1 to 100
};

}  // namespace veltrano
