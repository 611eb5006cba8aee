#include "sdr/receiver.h"

#include <algorithm>
#include <cmath>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// RDS sends 1187.5 / 26 blocks a second.
constexpr double kBlocksPerSecond = kRdsBitRate / 26;

}  // namespace

int LevelForCnr(std::optional<double> cnr_db) {
  if (!cnr_db || *cnr_db < kNoCarrierCnrDb) return 15;
  const double steps = std::ceil((kLevelZeroCnrDb - *cnr_db) / kDbPerLevel);
  return static_cast<int>(std::clamp(steps, 0.0, 14.0));
}

Receiver::Receiver(const ReceiverOptions& options)
    : options_(options), fm_(options.sample_rate), stereo_(options.deemphasis_us) {}

void Receiver::Tune(double offset_hz) {
  fm_.SetOffset(offset_hz);
  fm_.Reset();
  stereo_.Reset();
  rds_.Reset();
  sync_.Reset();
  monitor_.Clear();
}

void Receiver::Measure(std::span<const Complex> iq) {
  multiplex_.clear();
  fm_.Process(iq, multiplex_);
}

void Receiver::Process(std::span<const Complex> iq, int64_t end_ms, bool rds_on,
                       std::vector<float>& audio) {
  multiplex_.clear();
  pilot_phase_.clear();
  bits_.clear();
  fm_.Process(iq, multiplex_);
  stereo_.Process(multiplex_, audio, pilot_phase_);
  rds_.Process(multiplex_, pilot_phase_, stereo_.pilot_locked(), bits_);
  for (const uint8_t bit : bits_) {
    sync_.Push(bit, [&](const rds::AirGroup& air) {
      if (!rds_on) return;
      const rds::ReceivedGroup group = rds::DecodeAirGroup(air);
      monitor_.OnGroup(group, end_ms, group.unusable_count());
    });
  }
  monitor_.Expire(end_ms);
}

int Receiver::Level(int64_t now_ms) const {
  const int carrier_level = LevelForCnr(fm_.meter().CarrierToNoiseDb());
  if (carrier_level == 15) return carrier_level;
  const double damaged = monitor_.DamagedBlocksInLastSecond(now_ms) / kBlocksPerSecond;
  const int rds_level = static_cast<int>(std::min(damaged / kBlockErrorPerLevel, 14.0));
  return std::max(carrier_level, rds_level);
}

}  // namespace halvane::driver::sdr
