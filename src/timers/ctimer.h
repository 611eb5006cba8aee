// A periodic tick on the thread that created the timer, delivered through that thread's GLib main
// context, so ticks arrive between the host's calls and never inside the plug-in's own steps.
#ifndef HALVANE_TIMERS_CTIMER_H
#define HALVANE_TIMERS_CTIMER_H

#include <cstdint>
#include <exception>
#include <functional>

// GLib's own declarations, so that this header needs none of GLib's.
// NOLINTBEGIN(bugprone-reserved-identifier,modernize-use-using)
typedef struct _GMainContext GMainContext;
typedef struct _GSource GSource;
// NOLINTEND(bugprone-reserved-identifier,modernize-use-using)

namespace halvane {

class CTimer {
 public:
  CTimer();
  ~CTimer();
  CTimer(const CTimer&) = delete;
  CTimer& operator=(const CTimer&) = delete;

  bool Enabled() const { return mEnabled; }
  // Stops a running tick, stores the value, and starts a fresh period when enabled with a positive
  // interval: enabling a running timer restarts its period.
  void Enabled(bool newEnabled);
  int32_t Interval() const { return mInterval; }
  // A negative value is ignored. Otherwise stores it and re-applies Enabled, so a running timer
  // restarts with the new period, or stops for 0 while Enabled still reads true.
  void Interval(int32_t newInterval);
  // Raises the Timer event now.
  void RaiseTimer();

  // Whether a tick source is currently attached (running).
  bool Running() const { return mTimerID != nullptr; }
  // Whether a delivery context was found on the creating thread; without one the timer never ticks.
  bool HasContext() const { return mWnd != nullptr; }

  // The event, and where an error escaping its handler goes: a tick's failure stays inside the
  // tick and the timer keeps running.
  std::function<void()> Timer;
  std::function<void(const std::exception&)> TickFailed;

 private:
  static int TimerProc(void* identity);
  void Start();
  void Stop();

  GMainContext* mWnd = nullptr;  // the delivery context found at creation (a counted reference)
  GSource* mTimerID = nullptr;   // the running tick source; null once stopped
  bool mEnabled = false;
  int32_t mInterval = 0;
};

}  // namespace halvane

#endif
