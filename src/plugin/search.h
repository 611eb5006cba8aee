// Surf, scan and preset learning: the three automatic searches, paced by SurfTimer. The room
// keeps everything a search is: its mode, its timer, the screen preset learning draws on and the
// frequency learning saw last; it starts and stops them, takes each tick, and applies the rule
// that decides which commands stop a running search.
#ifndef HALVANE_PLUGIN_SEARCH_H
#define HALVANE_PLUGIN_SEARCH_H

#include <cstdint>
#include <memory>
#include <string_view>

#include "context/host_contract.h"
#include "halvane/dm_radio.h"
#include "timers/ctimer.h"

namespace halvane {

class Component;

class Search {
 public:
  explicit Search(Component& component) : c_(component) {}

  // The mode as the host's SearchMode property reads and writes it; writing it starts nothing.
  SModes Mode() const { return mode_; }
  void Mode(SModes mode) { mode_ = mode; }

  // Makes SurfTimer, with its tick. Until then (or when it can't be made) no search can start.
  void CreateTimer();
  // SurfTimer; null before CreateTimer.
  CTimer* SurfTimer() const { return timer_.get(); }
  // The screen preset learning runs on (none once stopped), and the frequency its previous tick
  // saw.
  const ObjectRef& Screen() const { return screen_; }
  int32_t LastLearnFreq() const { return lastLearnFreq_; }

  // Each start sets the mode first, so a failure later on leaves the mode set and the timer as
  // it was. Scan and surf step every "=$scansecs$" seconds (10 s when that gives 0; error 6 from
  // 33 s on, as the milliseconds are a 16-bit value); preset learning ticks every second.
  void StartScan();
  void StartSurf();
  void StartPresetLearning(const ObjectRef& frm);
  // Stops whatever search runs.
  void Stop();

  // One step of the running search; a tick on an inactive plug-in waits.
  void Tick();
  // After a command the dispatcher acted on (`word` lower-cased): surf stops unless the word
  // keeps it running, preset learning stops unless the word is "searchpresets".
  void AfterCommand(std::string_view word);

 private:
  void RunTimer(int32_t intervalMs);
  int16_t ScanDwellMs() const;
  void LearnStep();

  Component& c_;
  SModes mode_ = SModes::Disabled;
  std::unique_ptr<CTimer> timer_;
  ObjectRef screen_;
  int32_t lastLearnFreq_ = 0;
};

}  // namespace halvane

#endif
