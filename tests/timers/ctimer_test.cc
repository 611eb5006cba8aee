#include "timers/ctimer.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
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
  ScopedMainContext context_;
  int ticks_ = 0;
  std::unique_ptr<CTimer> timer_ = Make(&ticks_);
  static std::unique_ptr<CTimer> Make(int* counter) {
    auto t = std::make_unique<CTimer>();
    t->Timer = [counter] { ++*counter; };
    return t;
  }
};

TEST_F(TimerTest, NewTimerIsDisabledWithIntervalZero) {
  EXPECT_FALSE(timer_->Enabled());
  EXPECT_EQ(timer_->Interval(), 0);
  EXPECT_TRUE(timer_->HasContext());
  EXPECT_FALSE(timer_->Running());
}

TEST_F(TimerTest, EnabledWithAnIntervalTicks) {
  timer_->Interval(20);
  timer_->Enabled(true);
  int64_t elapsed = 0;
  EXPECT_TRUE(context_.RunUntil([&] { return ticks_ >= 5; }, &elapsed));
  EXPECT_GE(elapsed, 4 * 20);  // never sooner than the interval
}

TEST_F(TimerTest, DisabledTimerNeverTicks) {
  timer_->Interval(10);  // changed while disabled: only the value is kept
  EXPECT_FALSE(timer_->Running());
  context_.RunFor(100);
  EXPECT_EQ(ticks_, 0);
}

TEST_F(TimerTest, NegativeIntervalIsIgnored) {
  timer_->Interval(20);
  timer_->Enabled(true);
  timer_->Interval(-5);
  EXPECT_EQ(timer_->Interval(), 20);
  EXPECT_TRUE(timer_->Running());
  EXPECT_TRUE(context_.RunUntil([&] { return ticks_ > 0; }));
}

TEST_F(TimerTest, IntervalZeroWhileEnabledStopsTicksButStaysEnabled) {
  timer_->Interval(10);
  timer_->Enabled(true);
  timer_->Interval(0);
  EXPECT_TRUE(timer_->Enabled());
  EXPECT_FALSE(timer_->Running());
  context_.RunFor(100);
  EXPECT_EQ(ticks_, 0);
  timer_->Interval(10);  // a positive interval starts the ticks without touching Enabled
  EXPECT_TRUE(context_.RunUntil([&] { return ticks_ > 0; }));
}

TEST_F(TimerTest, EnabledWhileIntervalZeroReadsTrueAndNeverTicks) {
  timer_->Enabled(true);
  EXPECT_TRUE(timer_->Enabled());
  context_.RunFor(50);
  EXPECT_EQ(ticks_, 0);
}

TEST_F(TimerTest, ReEnablingRestartsThePeriod) {
  timer_->Interval(400);
  timer_->Enabled(true);
  // Keep restarting well before a period has passed: no tick can fall due, unless the machine
  // held this thread back for a whole period between two restarts.
  gint64 longest = 0;
  gint64 restarted = g_get_monotonic_time();
  for (int i = 0; i < 6; ++i) {
    context_.RunFor(50);
    const gint64 now = g_get_monotonic_time();
    longest = std::max(longest, now - restarted);
    restarted = now;
    timer_->Enabled(true);
  }
  if (longest >= 400'000) GTEST_SKIP() << "the loop was held back " << longest / 1000 << " ms";
  EXPECT_EQ(ticks_, 0);
  EXPECT_TRUE(context_.RunUntil([&] { return ticks_ > 0; }));
  EXPECT_GE(g_get_monotonic_time() - restarted, 400'000);
}

TEST_F(TimerTest, TwoTimersOnOneContextTickIndependently) {
  int other = 0;
  auto second = Make(&other);
  timer_->Interval(10);
  timer_->Enabled(true);
  second->Interval(100);
  second->Enabled(true);
  EXPECT_TRUE(context_.RunUntil([&] { return other >= 2; }));
  EXPECT_GT(ticks_, other);
}

TEST_F(TimerTest, NoTickAfterDestruction) {
  timer_->Interval(5);
  timer_->Enabled(true);
  timer_.reset();
  context_.RunFor(50);
  EXPECT_EQ(ticks_, 0);
}

TEST_F(TimerTest, AHandlerErrorIsContainedAndTheTimerGoesOn) {
  int failures = 0;
  timer_->Timer = [this] {
    ++ticks_;
    halvane::Raise(halvane::kOverflow);
  };
  timer_->TickFailed = [&](const std::exception&) { ++failures; };
  timer_->Interval(10);
  timer_->Enabled(true);
  EXPECT_TRUE(context_.RunUntil([&] { return ticks_ >= 2; }));
  EXPECT_EQ(failures, ticks_);
  EXPECT_TRUE(timer_->Enabled());
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
