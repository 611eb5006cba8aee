#include "rds/group_decoder.h"

#include "rds/block_decoder.h"
#include "rds/charset.h"

namespace halvane::driver::rds {
namespace {

// Group type codes handled here; the decoder takes other groups only for PI, PTY and TP.
constexpr int kBasicTuning = 0;
constexpr int kRadioText = 2;

// A new PI replaces the station's after this many groups in a row carry it.
constexpr int kPiConfirmations = 2;

uint8_t High(uint16_t word) { return static_cast<uint8_t>(word >> 8); }
uint8_t Low(uint16_t word) { return static_cast<uint8_t>(word & 0xFF); }

}  // namespace

int ReceivedGroup::UnusableCount() const {
  int count = 0;
  for (bool ok : usable) count += ok ? 0 : 1;
  return count;
}

ReceivedGroup DecodeAirGroup(const AirGroup& air) {
  ReceivedGroup group;
  const auto decode = [&](int index, Offset offset) {
    if (!air[index]) return;
    const DecodedBlock block = DecodeBlock(*air[index], offset);
    group.blocks[index] = block.info;
    group.usable[index] = block.usable();
  };
  decode(0, Offset::A);
  decode(1, Offset::B);
  decode(3, Offset::D);
  if (group.usable[1]) {
    decode(2, IsVersionB(group.blocks[1]) ? Offset::CPrime : Offset::C);
  } else if (air[2]) {
    // Without block B the version is unknown; correcting towards the wrong offset would invent
    // data, so only an undamaged block is taken.
    const std::optional<Offset> offset = DetectOffset(*air[2]);
    if (offset == Offset::C || offset == Offset::CPrime) {
      group.blocks[2] = static_cast<uint16_t>((*air[2] >> 10) & 0xFFFF);
      group.usable[2] = true;
    }
  }
  return group;
}

GroupDecoder::GroupDecoder() { ClearText(); }

void GroupDecoder::Clear() {
  data_ = RdsData{};
  has_pi_ = false;
  pi_candidate_count_ = 0;
  ClearText();
}

void GroupDecoder::ClearText() {
  data_.ps.fill(kBlank);
  data_.rt.fill(kBlank);
  rt_ab_ = -1;
}

bool GroupDecoder::AcceptPi(uint16_t pi) {
  if (has_pi_ && pi == data_.pi) {
    pi_candidate_count_ = 0;
    return true;
  }
  if (has_pi_) {
    if (pi_candidate_count_ == 0 || pi != pi_candidate_) {
      pi_candidate_ = pi;
      pi_candidate_count_ = 1;
    } else {
      ++pi_candidate_count_;
    }
    if (pi_candidate_count_ < kPiConfirmations) return false;
    Clear();
  }
  has_pi_ = true;
  data_.pi = pi;
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

  data_.pty = ProgrammeType(b);
  data_.tp = TrafficProgramme(b);
  switch (GroupTypeCode(b)) {
    case kBasicTuning: {
      data_.ta = (b & 0x10) != 0;
      data_.ms = (b & 0x08) != 0;
      const int segment = b & 3;
      if (group.usable[3]) {
        data_.ps[2 * segment] = High(group.blocks[3]);
        data_.ps[2 * segment + 1] = Low(group.blocks[3]);
      }
      break;
    }
    case kRadioText: {
      const int ab = (b >> 4) & 1;
      // A changed A/B flag announces a new message: the old one must not show through.
      if (rt_ab_ != ab) {
        data_.rt.fill(kBlank);
        rt_ab_ = ab;
      }
      const int segment = b & 15;
      if (versionB) {
        if (group.usable[3]) {
          data_.rt[2 * segment] = High(group.blocks[3]);
          data_.rt[2 * segment + 1] = Low(group.blocks[3]);
        }
      } else {
        if (group.usable[2]) {
          data_.rt[4 * segment] = High(group.blocks[2]);
          data_.rt[4 * segment + 1] = Low(group.blocks[2]);
        }
        if (group.usable[3]) {
          data_.rt[4 * segment + 2] = High(group.blocks[3]);
          data_.rt[4 * segment + 3] = Low(group.blocks[3]);
        }
      }
      break;
    }
    default:
      break;
  }
  return true;
}

}  // namespace halvane::driver::rds
