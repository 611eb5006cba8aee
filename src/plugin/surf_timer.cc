// One step of the running search at each SurfTimer tick: surf steps through the presets, scan
// seeks upward, and preset learning stores each new station the seek finds into the local list.
#include <string>

#include "plugin/dm_radio.h"

namespace halvane {
namespace {

// Learning stores stations strictly inside the band: 87.50 MHz, where every run starts, and
// 107.90 MHz, where the seek turns round, are passed over.
bool IsLearnable(int32_t freq) { return freq > band::kFmLow && freq < band::kFmHigh; }

// The run ends when the seek comes back to a station already stored; until the frequency moves
// on from the previous tick's, a tick does nothing at all.
void LearnStep(DMRadio& radio, Component& c) {
  const int32_t freq = c.radio.currentFreq;
  if (freq == radio.lastLearnFreq) return;
  radio.lastLearnFreq = freq;
  if (c.presets.PresetHolding(freq) != 0) {
    radio.StopSearch();
    return;
  }
  if (IsLearnable(freq)) {
    const int32_t number = c.presets.Count() + 1;
    c.presets.AddPreset("Preset " + std::to_string(number));  // saves the local list
    c.radio.RadioRefresh(radio.searchScreen);
  }
  c.radio.SeekUp();
}

}  // namespace

// A tick on an inactive plug-in waits; the timer keeps running until the search is stopped.
void DMRadio::SurfTimer_Timer() {
  if (!IsActive()) return;
  switch (SearchMode()) {
    case SModes::Surf:
      c_.presets.NextPreset();
      break;
    case SModes::Scan:
      c_.radio.SeekUp();
      break;
    case SModes::PresetLearn:
      LearnStep(*this, c_);
      break;
    default:
      break;
  }
}

}  // namespace halvane
