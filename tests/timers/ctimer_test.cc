#include "timers/ctimer.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <thread>

#include "halvane/errors.h"
#include "plugin_fixture.h"

namespace {

using halvane::CTimer;
using testing_support::ScopedMainContext;

// Ticks are counted by running the test's own context for a stretch of real time. The bounds are
// wide: only "ticks" against "no ticks", and rough rates, are asserted.
class TimerTest : public ::testing::Test {
 protected:
  ScopedMainContext context;
  int ticks = 0;
  std::unique_ptr<CTimer> timer = Make(&ticks);
  static std::unique_ptr<CTimer> Make(int* counter) {
    auto t = std::make_unique<CTimer>();
    t->Timer = [counter] { ++*counter; };
    return t;
  }
};

TEST_F(TimerTest, NewTimerIsDisabledWithIntervalZero) {
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), 0);
  EXPECT_TRUE(timer->HasContext());
  EXPECT_FALSE(timer->Running());
}

TEST_F(TimerTest, EnabledWithAnIntervalTicks) {
  timer->Interval(20);
  timer->Enabled(true);
  context.RunFor(300);
  EXPECT_GE(ticks, 5);
}

TEST_F(TimerTest, DisabledTimerNeverTicks) {
  timer->Interval(10);  // changed while disabled: only the value is kept
  EXPECT_FALSE(timer->Running());
  context.RunFor(100);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, NegativeIntervalIsIgnored) {
  timer->Interval(20);
  timer->Enabled(true);
  timer->Interval(-5);
  EXPECT_EQ(timer->Interval(), 20);
  EXPECT_TRUE(timer->Running());
  context.RunFor(200);
  EXPECT_GT(ticks, 0);
}

TEST_F(TimerTest, IntervalZeroWhileEnabledStopsTicksButStaysEnabled) {
  timer->Interval(10);
  timer->Enabled(true);
  timer->Interval(0);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_FALSE(timer->Running());
  context.RunFor(100);
  EXPECT_EQ(ticks, 0);
  timer->Interval(10);  // a positive interval starts the ticks without touching Enabled
  context.RunFor(200);
  EXPECT_GT(ticks, 0);
}

TEST_F(TimerTest, EnabledWhileIntervalZeroReadsTrueAndNeverTicks) {
  timer->Enabled(true);
  EXPECT_TRUE(timer->Enabled());
  context.RunFor(50);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, ReEnablingRestartsThePeriod) {
  timer->Interval(400);
  timer->Enabled(true);
  // Keep restarting well before a period has passed: no tick can fall due.
  for (int i = 0; i < 6; ++i) {
    context.RunFor(50);
    timer->Enabled(true);
  }
  EXPECT_EQ(ticks, 0);
  context.RunFor(900);
  EXPECT_GT(ticks, 0);
}

TEST_F(TimerTest, TwoTimersOnOneContextTickIndependently) {
  int other = 0;
  auto second = Make(&other);
  timer->Interval(10);
  timer->Enabled(true);
  second->Interval(100);
  second->Enabled(true);
  context.RunFor(450);
  EXPECT_GT(ticks, other);
  EXPECT_GE(other, 2);
}

TEST_F(TimerTest, NoTickAfterDestruction) {
  timer->Interval(5);
  timer->Enabled(true);
  timer.reset();
  context.RunFor(50);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerTest, AHandlerErrorIsContainedAndTheTimerGoesOn) {
  int failures = 0;
  timer->Timer = [this] {
    ++ticks;
    halvane::Raise(halvane::kOverflow);
  };
  timer->TickFailed = [&](const std::exception&) { ++failures; };
  timer->Interval(10);
  timer->Enabled(true);
  context.RunFor(200);
  EXPECT_GE(ticks, 2);
  EXPECT_EQ(failures, ticks);
  EXPECT_TRUE(timer->Enabled());
}

TEST(TimerThreads, ATimerWithoutADeliveryContextNeverStarts) {
  // The default context is held by this thread's running loop; a worker thread that pushed no
  // context of its own has nothing through which ticks could reach it.
  GMainContext* global = g_main_context_default();
  ASSERT_TRUE(g_main_context_acquire(global));
  bool hasContext = true, running = true;
  std::thread([&] {
    CTimer t;
    t.Interval(10);
    t.Enabled(true);
    hasContext = t.HasContext();
    running = t.Running();
  }).join();
  g_main_context_release(global);
  EXPECT_FALSE(hasContext);
  EXPECT_FALSE(running);
}

}  // namespace
