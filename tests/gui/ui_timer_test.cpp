// Timer ticks: counted, stopped from inside, never when disabled, never overlapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "gui_support.h"
#include "ui/application.h"
#include "ui/timer.h"

namespace {

using gui_support::PumpUntil;
namespace ui = veltrano::ui;

TEST(UiTimer, TicksUntilItStopsItselfAndNeverAfter) {
  struct Case {
    int ticksBeforeStop;
  };
  for (const Case& c : {Case{1}, Case{5}, Case{100}}) {
    ui::Timer timer({.interval = 1, .enabled = true});
    int ticks = 0;
    timer.onTimer = [&] {
      if (++ticks == c.ticksBeforeStop) timer.SetEnabled(false);
    };
    // A second timer keeps the loop going long enough for a stray tick to show up.
    ui::Timer witness({.interval = 1, .enabled = true});
    int witnessTicks = 0;
    witness.onTimer = [&] { ++witnessTicks; };

    ASSERT_TRUE(PumpUntil([&] { return ticks >= c.ticksBeforeStop; }, 20000));
    const int witnessAtStop = witnessTicks;
    ASSERT_TRUE(PumpUntil([&] { return witnessTicks >= witnessAtStop + 5; }));
    EXPECT_EQ(ticks, c.ticksBeforeStop);
    EXPECT_FALSE(timer.Enabled());
  }
}

TEST(UiTimer, DisabledTimerNeverTicks) {
  ui::Timer created({.interval = 1, .enabled = false});
  ui::Timer switchedOff({.interval = 1, .enabled = true});
  switchedOff.SetEnabled(false);
  ui::Timer reference({.interval = 1, .enabled = true});
  int disabledTicks = 0;
  int referenceTicks = 0;
  created.onTimer = [&] { ++disabledTicks; };
  switchedOff.onTimer = [&] { ++disabledTicks; };
  reference.onTimer = [&] { ++referenceTicks; };

  ASSERT_TRUE(PumpUntil([&] { return referenceTicks >= 10; }));
  EXPECT_EQ(disabledTicks, 0);

  created.SetEnabled(true);  // and it starts when enabled
  EXPECT_TRUE(PumpUntil([&] { return disabledTicks > 0; }));
}

TEST(UiTimer, TicksComeOnlyThroughTheMessageLoop) {
  ui::Timer timer({.interval = 1, .enabled = true});
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  // Synchronous work that does not handle messages sees no tick, however long it runs.
  for (int spin = 0; spin < 3; ++spin) Sleep(20);
  EXPECT_EQ(ticks, 0);
  EXPECT_TRUE(PumpUntil([&] { return ticks > 0; }));
}

TEST(UiTimer, TickThatPumpsMessagesIsNotReentered) {
  ui::Timer timer({.interval = 1, .enabled = true});
  ui::Timer other({.interval = 1, .enabled = true});
  int depth = 0;
  int deepest = 0;
  int ticks = 0;
  int otherTicks = 0;
  other.onTimer = [&] { ++otherTicks; };
  timer.onTimer = [&] {
    ++depth;
    ++ticks;
    deepest = std::max(deepest, depth);
    if (ticks == 1) {
      // Like a message box opened from the tick: messages are handled meanwhile.
      const int before = otherTicks;
      PumpUntil([&] { return otherTicks >= before + 5; });
    }
    --depth;
    if (ticks == 3) timer.SetEnabled(false);
  };
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(deepest, 1);
  EXPECT_GE(otherTicks, 5);  // other timers went on during the long tick
}

TEST(UiTimer, ErrorInATickIsShownAndTheTimerGoesOn) {
  ui::Timer timer({.interval = 1, .enabled = true});
  int ticks = 0;
  timer.onTimer = [&] {
    ++ticks;
    if (ticks == 1) throw std::runtime_error("Failed to set data for 'MaxMTU'");
    if (ticks == 3) timer.SetEnabled(false);
  };
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  ASSERT_EQ(gui_support::RecordedBoxes().size(), 1u);
  EXPECT_EQ(gui_support::RecordedBoxes()[0].text, "Failed to set data for 'MaxMTU'");
}

TEST(UiTimer, IntervalChangeKeepsTicking) {
  ui::Timer timer({.interval = 1000000, .enabled = true});
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  timer.SetInterval(1);
  EXPECT_EQ(timer.Interval(), 1u);
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
}

}  // namespace
