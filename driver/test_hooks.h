// Test-only exports of the simulated driver. The plug-in never calls them; tests and the
// reference host's scripts use them to drive the driver's clock and start from a clean state.
#ifndef HALVANE_DRIVER_TEST_HOOKS_H
#define HALVANE_DRIVER_TEST_HOOKS_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// 1: the driver's clock stands still until HalvaneSimAdvanceClock moves it; 0: it follows
// CLOCK_MONOTONIC again (from where it stood). Returns 0.
int32_t HalvaneSimUseManualClock(int32_t on);

// Moves the driver's clock forward by `ms` milliseconds (negative: ignored). Returns 0.
int32_t HalvaneSimAdvanceClock(int32_t ms);

// Drops all state: uninitialised, real clock, tuned to 87.5 MHz, and the band is read again at
// the next radioInitialize (so a test can point HALVANE_STATIONS elsewhere first).
void HalvaneSimReset(void);

#ifdef __cplusplus
}
#endif

#endif
