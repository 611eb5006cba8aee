#include "timers/ctimer.h"

#include <glib.h>

namespace halvane {
namespace {

// The context through which the creating thread receives ticks: the thread-default context it
// pushed, else the global default context when this thread can own it. A thread whose default
// context is owned by another thread has none: ticks there would run on the wrong thread.
GMainContext* FindThreadContext() {
  if (GMainContext* own = g_main_context_get_thread_default()) return g_main_context_ref(own);
  GMainContext* global = g_main_context_default();
  if (g_main_context_is_owner(global)) return g_main_context_ref(global);
  if (g_main_context_acquire(global)) {
    g_main_context_release(global);
    return g_main_context_ref(global);
  }
  return nullptr;
}

}  // namespace

CTimer::CTimer() : mWnd(FindThreadContext()) {}

CTimer::~CTimer() {
  Stop();
  if (mWnd != nullptr) g_main_context_unref(mWnd);
}

void CTimer::Enabled(bool newEnabled) {
  if (mEnabled) Stop();
  mEnabled = newEnabled;
  if (mInterval > 0 && newEnabled) Start();
}

void CTimer::Interval(int32_t newInterval) {
  if (newInterval < 0) return;
  mInterval = newInterval;
  Enabled(mEnabled);
}

void CTimer::RaiseTimer() {
  if (Timer) Timer();
}

void CTimer::Start() {
  if (mWnd == nullptr) return;
  GSource* source = g_timeout_source_new(static_cast<guint>(mInterval));
  g_source_set_callback(source, reinterpret_cast<GSourceFunc>(&CTimer::TimerProc), this, nullptr);
  g_source_attach(source, mWnd);
  mTimerID = source;
}

void CTimer::Stop() {
  if (mTimerID == nullptr) return;
  g_source_destroy(mTimerID);  // no tick of this source is dispatched after this
  g_source_unref(mTimerID);
  mTimerID = nullptr;
}

int CTimer::TimerProc(void* identity) {
  // The source is destroyed before its CTimer, so the identity always names a live timer.
  auto* timer = static_cast<CTimer*>(identity);
  try {
    timer->RaiseTimer();
  } catch (const std::exception& e) {
    if (timer->TickFailed) {
      try {
        timer->TickFailed(e);
      } catch (...) {
        // Nothing may escape into the main loop's dispatch.
      }
    }
  } catch (...) {
  }
  return G_SOURCE_CONTINUE;
}

}  // namespace halvane
