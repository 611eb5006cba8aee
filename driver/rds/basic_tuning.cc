#include "rds/basic_tuning.h"

#include <algorithm>

#include "rds/station_state.h"

namespace halvane::driver::rds {

void DecodeBasicTuning(const ReceivedGroup& group, StationState& station) {
  BasicTuningState& state = station.basicTuning;
  RdsData& shown = station.shown;
  const uint16_t b = group.blocks[1];
  // The flags come in every group 0: two alike in a row before a flag changes on the screen.
  if (state.ta.Offer((b & 0x10) != 0, false)) shown.ta = *state.ta.shown();
  if (state.ms.Offer((b & 0x08) != 0, false)) shown.ms = *state.ms.shown();
  if (group.usable[3]) {
    state.ps.OfferWord(b & 3, group.blocks[3], !group.corrected[1] && !group.corrected[3]);
    if (const auto& name = state.ps.whole())
      std::copy(name->begin(), name->end(), shown.ps.begin());
  }
  // 0A: two alternative-frequency codes in block C (0B repeats the PI there).
  if (!IsVersionB(b)) {
    station.afs.Feed(group.blocks[2], group.usable[2], group.Intact(1) && group.Intact(2));
  }
}

}  // namespace halvane::driver::rds
