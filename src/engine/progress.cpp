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

ProgressStep ProgressAnimation::Tick(int previousPosition, bool runFailed) {
  if (Finished()) {
    return ProgressStep{.caption = std::nullopt, .end = ProgressEnd::kNone, .position = counter_};
  }
  ++counter_;
  ProgressStep step{.caption = StepCaptionFor(captions_, previousPosition),
                    .end = ProgressEnd::kNone,
                    .position = counter_};
  if (Finished()) {
    // The end state replaces the step caption of this tick, so "Finalizing Settings..."
    // never outlives the animation.
    step.caption = runFailed ? kStoppedOnErrorCaption : captions_.finished;
    step.end = runFailed ? ProgressEnd::kFailed : ProgressEnd::kCompleted;
  }
  return step;
}

}  // namespace veltrano
