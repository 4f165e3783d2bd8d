// The progress animation of the two run windows, tick by tick: when the step caption
// changes, how the animation ends after a completed run and after a failed one, and
// that nothing changes once it has ended.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/progress.h"

namespace veltrano {
namespace {

// The caption shown after each tick, driving the animation the way a window does:
// the gauge position it feeds back is what the previous tick set.
struct Recording {
  std::vector<std::string> captionAfterTick;  // index 0 = tick 1
  std::vector<int> positionAfterTick;
  std::vector<ProgressEnd> endAfterTick;
};

// `failedAt`: the tick at which the run has stopped on an error (0: it completed); the
// ticks before it come while it is under way.
Recording Animate(const ProgressCaptions& captions, int failedAt, int ticks) {
  ProgressAnimation animation(captions);
  std::string caption(kStartingCaption);
  int position = 0;
  Recording recording;
  for (int tick = 1; tick <= ticks; ++tick) {
    const RunState run = failedAt == 0     ? RunState::kCompleted
                         : tick < failedAt ? RunState::kUnderWay
                                           : RunState::kFailed;
    const ProgressStep step = animation.Tick(position, run);
    if (step.caption) caption = std::string(*step.caption);
    position = step.position;
    recording.captionAfterTick.push_back(caption);
    recording.positionAfterTick.push_back(position);
    recording.endAfterTick.push_back(step.end);
  }
  return recording;
}

// The ticks at which the caption changes, with the new caption.
std::map<int, std::string> CaptionChanges(const Recording& recording) {
  std::map<int, std::string> changes;
  std::string shown(kStartingCaption);
  for (size_t index = 0; index < recording.captionAfterTick.size(); ++index) {
    if (recording.captionAfterTick[index] != shown) {
      shown = recording.captionAfterTick[index];
      changes[static_cast<int>(index) + 1] = shown;
    }
  }
  return changes;
}

TEST(EngineProgress, CaptionsChangeOneTickAfterTheirPosition) {
  struct Case {
    const char* window;
    const ProgressCaptions& captions;
    std::map<int, std::string> changes;
  };
  const Case cases[] = {
      {"optimizing",
       kOptimizingCaptions,
       {{21, "Reading Database..."},
        {42, "Optimizing Registry..."},
        {62, "Optimizing Secret Settings..."},
        {82, "Finalizing Settings..."},
        {100, "Finished."}}},
      {"defaults",
       kDefaultsCaptions,
       {{21, "Reading Database..."},
        {42, "Default Registry Settings..."},
        {62, "Default Secret Settings..."},
        {82, "Finalizing Settings..."},
        {100, "Finished Windows Default Settings."}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    const Recording recording = Animate(c.captions, 0, kProgressTicks);
    EXPECT_EQ(CaptionChanges(recording), c.changes);
    for (int tick = 1; tick <= kProgressTicks; ++tick) {
      EXPECT_EQ(recording.positionAfterTick[tick - 1], tick) << "tick " << tick;
    }
  }
}

TEST(EngineProgress, CaptionByPreviousPositionAtTheBoundaries) {
  struct Case {
    int previousPosition;
    std::optional<std::string_view> caption;
  };
  const Case cases[] = {
      {0, std::nullopt},
      {19, std::nullopt},
      {20, "Reading Database..."},
      {40, "Reading Database..."},
      {41, "Optimizing Registry..."},
      {60, "Optimizing Registry..."},
      {61, "Optimizing Secret Settings..."},
      {80, "Optimizing Secret Settings..."},
      {81, "Finalizing Settings..."},
      {99, "Finalizing Settings..."},
      {100, std::nullopt},
      {-1, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StepCaptionFor(kOptimizingCaptions, c.previousPosition), c.caption)
        << "position " << c.previousPosition;
  }
}

// A completed run ends on the hundredth tick; a failed one on the first tick after it
// stopped, the gauge where it stood (short of the end while the run was under way).
TEST(EngineProgress, TheEndComesWithTheStateOfTheRun) {
  struct Case {
    const char* name;
    const ProgressCaptions& captions;
    int failedAt;  // 0: completed
    int lastTick;
    std::string finalCaption;
    int finalPosition;
    ProgressEnd end;
  };
  const Case cases[] = {
      {"optimizing completed", kOptimizingCaptions, 0, 100, "Finished.", 100,
       ProgressEnd::kCompleted},
      {"defaults completed", kDefaultsCaptions, 0, 100, "Finished Windows Default Settings.", 100,
       ProgressEnd::kCompleted},
      {"failed at once", kDefaultsCaptions, 1, 1, "Stopped on an error.", 0, ProgressEnd::kFailed},
      {"failed during a box", kOptimizingCaptions, 31, 31, "Stopped on an error.", 30,
       ProgressEnd::kFailed},
      {"failed after a long box", kDefaultsCaptions, 150, 150, "Stopped on an error.", 99,
       ProgressEnd::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Recording recording = Animate(c.captions, c.failedAt, c.lastTick + 5);
    // Only the last tick ends the animation; the buttons stay disabled before it.
    for (int tick = 1; tick < c.lastTick; ++tick) {
      ASSERT_EQ(recording.endAfterTick[tick - 1], ProgressEnd::kNone) << "tick " << tick;
    }
    EXPECT_EQ(recording.endAfterTick[c.lastTick - 1], c.end);
    // Late ticks after the end change nothing.
    for (int tick = c.lastTick; tick <= c.lastTick + 5; ++tick) {
      EXPECT_EQ(recording.captionAfterTick[tick - 1], c.finalCaption) << "tick " << tick;
      EXPECT_EQ(recording.positionAfterTick[tick - 1], c.finalPosition) << "tick " << tick;
    }
  }
}

TEST(EngineProgress, ResetStartsTheCountAgain) {
  ProgressAnimation animation(kDefaultsCaptions);
  int position = 0;
  for (int tick = 0; tick < kProgressTicks; ++tick)
    position = animation.Tick(position, RunState::kCompleted).position;
  ASSERT_TRUE(animation.Finished());
  animation.Reset();
  EXPECT_EQ(animation.Counter(), 0);
  EXPECT_FALSE(animation.Finished());
  const ProgressStep first = animation.Tick(0, RunState::kCompleted);
  EXPECT_EQ(first.position, 1);
  EXPECT_EQ(first.end, ProgressEnd::kNone);
  EXPECT_FALSE(first.caption.has_value());
}

}  // namespace
}  // namespace veltrano
