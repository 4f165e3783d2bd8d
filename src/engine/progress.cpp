#include "engine/progress.h"

namespace veltrano {

std::optional<std::string_view> StepCaptionFor(const ProgressCaptions& captions,
                                               int previousPosition) {
  if (previousPosition < 20) return std::nullopt;
  if (previousPosition <= 40) return captions.reading;
  if (previousPosition <= 60) return captions.applying;
  if (previousPosition <= 80) return captions.secret;
  if (previousPosition <= 99) return captions.finalizing;
  return std::nullopt;
}

ProgressStep ProgressAnimation::Tick(int previousPosition, RunState run) {
  const ProgressStep unchanged{.caption = std::nullopt, .position = previousPosition};
  if (Finished()) return unchanged;
  if (run == RunState::kFailed) {
    // The gauge stays where the run stopped, not at a "100 %" it never reached.
    counter_ = kProgressTicks;
    return ProgressStep{.caption = kStoppedOnErrorCaption,
                        .end = ProgressEnd::kFailed,
                        .position = previousPosition};
  }
  if (run == RunState::kUnderWay && counter_ + 1 == kProgressTicks) return unchanged;
  ++counter_;
  ProgressStep step{.caption = StepCaptionFor(captions_, previousPosition),
                    .end = ProgressEnd::kNone,
                    .position = counter_};
  if (Finished()) {
    // The end state replaces the step caption of this tick, so "Finalizing Settings..."
    // never outlives the animation.
    step.caption = captions_.finished;
    step.end = ProgressEnd::kCompleted;
  }
  return step;
}

}  // namespace veltrano
