#include "rds/group_decoder.h"

#include "rds/group_handlers.h"

namespace halvane::driver::rds {

void GroupDecoder::Clear() {
  station_ = StationState();
  pi_.Reset();
  collecting_.reset();
}

void GroupDecoder::Restart() {
  if (!HasData()) {
    Clear();
    return;
  }
  // A value half received before the move must not be confirmed by one from after it.
  pi_.ForgetReceived();
  station_.pty.ForgetReceived();
  station_.tp.ForgetReceived();
}

bool GroupDecoder::AcceptPi(uint16_t pi) {
  const std::optional<uint16_t> before = pi_.shown();
  pi_.Offer(pi, false);
  if (pi_.shown() != before) {
    // Confirmed: the first station, or a switch to another whose groups start from nothing.
    if (before || collecting_ != pi) station_ = StationState();
    collecting_.reset();
    station_.shown.pi = pi;
    return true;
  }
  if (before) return pi == *before;
  // No PI confirmed yet: groups are collected for the latest PI; another one starts over.
  if (collecting_ != pi) {
    station_ = StationState();
    collecting_ = pi;
  }
  return true;
}

bool GroupDecoder::Feed(const ReceivedGroup& group) {
  if (!group.usable[1]) return false;
  const uint16_t b = group.blocks[1];
  const bool versionB = IsVersionB(b);
  std::optional<uint16_t> pi;
  if (group.usable[0]) {
    pi = group.blocks[0];
  } else if (versionB && group.usable[2]) {
    pi = group.blocks[2];
  }
  if (!pi || !AcceptPi(*pi)) return false;

  if (station_.pty.Offer(ProgrammeType(b), false)) station_.shown.pty = *station_.pty.shown();
  if (station_.tp.Offer(TrafficProgramme(b), false)) station_.shown.tp = *station_.tp.shown();
  if (const GroupHandler handler = HandlerFor(GroupTypeCode(b), versionB)) handler(group, station_);
  return true;
}

}  // namespace halvane::driver::rds
