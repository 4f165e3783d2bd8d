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

Recording Animate(const ProgressCaptions& captions, bool runFailed, int ticks) {
  ProgressAnimation animation(captions);
  std::string caption(kStartingCaption);
  int position = 0;
  Recording recording;
  for (int tick = 1; tick <= ticks; ++tick) {
    const ProgressStep step = animation.Tick(position, runFailed);
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
    const Recording recording = Animate(c.captions, false, kProgressTicks);
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

TEST(EngineProgress, LastTickEndsInTheStateOfTheRun) {
  struct Case {
    const char* name;
    const ProgressCaptions& captions;
    bool runFailed;
    std::string finalCaption;
    ProgressEnd end;
  };
  const Case cases[] = {
      {"optimizing completed", kOptimizingCaptions, false, "Finished.", ProgressEnd::kCompleted},
      {"defaults completed", kDefaultsCaptions, false, "Finished Windows Default Settings.",
       ProgressEnd::kCompleted},
      {"optimizing failed", kOptimizingCaptions, true, "Stopped on an error.",
       ProgressEnd::kFailed},
      {"defaults failed", kDefaultsCaptions, true, "Stopped on an error.", ProgressEnd::kFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Recording recording = Animate(c.captions, c.runFailed, kProgressTicks);
    EXPECT_EQ(recording.captionAfterTick.back(), c.finalCaption);
    EXPECT_EQ(recording.positionAfterTick.back(), kProgressTicks);
    // Only the last tick ends the animation; the buttons stay disabled before it.
    for (int tick = 1; tick < kProgressTicks; ++tick) {
      ASSERT_EQ(recording.endAfterTick[tick - 1], ProgressEnd::kNone) << "tick " << tick;
    }
    EXPECT_EQ(recording.endAfterTick.back(), c.end);
    // A failed run animates through the same steps: only the end differs.
    EXPECT_EQ(recording.captionAfterTick[98], "Finalizing Settings...");
  }
}

TEST(EngineProgress, LateTicksAfterTheEndChangeNothing) {
  for (bool runFailed : {false, true}) {
    SCOPED_TRACE(runFailed ? "failed" : "completed");
    const Recording recording = Animate(kOptimizingCaptions, runFailed, kProgressTicks + 5);
    const std::string last = recording.captionAfterTick[kProgressTicks - 1];
    for (int tick = kProgressTicks + 1; tick <= kProgressTicks + 5; ++tick) {
      EXPECT_EQ(recording.captionAfterTick[tick - 1], last) << "tick " << tick;
      EXPECT_NE(recording.captionAfterTick[tick - 1], "Finalizing Settings...");
      EXPECT_EQ(recording.positionAfterTick[tick - 1], kProgressTicks);
      EXPECT_EQ(recording.endAfterTick[tick - 1], ProgressEnd::kNone);
    }
  }
}

TEST(EngineProgress, ResetStartsTheCountAgain) {
  ProgressAnimation animation(kDefaultsCaptions);
  int position = 0;
  for (int tick = 0; tick < kProgressTicks; ++tick)
    position = animation.Tick(position, false).position;
  ASSERT_TRUE(animation.Finished());
  animation.Reset();
  EXPECT_EQ(animation.Counter(), 0);
  EXPECT_FALSE(animation.Finished());
  const ProgressStep first = animation.Tick(0, false);
  EXPECT_EQ(first.position, 1);
  EXPECT_EQ(first.end, ProgressEnd::kNone);
  EXPECT_FALSE(first.caption.has_value());
}

}  // namespace
}  // namespace veltrano
