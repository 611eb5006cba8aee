#include "sdr/dsp/receiver.h"

#include <algorithm>
#include <cmath>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// RDS sends 1187.5 / 26 blocks a second.
constexpr double kBlocksPerSecond = kRdsBitRate / 26;

}  // namespace

int LevelForCnr(std::optional<double> cnrDb) {
  if (!cnrDb || *cnrDb < kNoCarrierCnrDb) return 15;
  const double steps = std::ceil((kLevelZeroCnrDb - *cnrDb) / kDbPerLevel);
  return static_cast<int>(std::clamp(steps, 0.0, 14.0));
}

Receiver::Receiver(const ReceiverOptions& options)
    : options_(options), fm_(options.sampleRate), stereo_(options.deemphasisUs) {}

void Receiver::Tune(double offsetHz) {
  fm_.SetOffset(offsetHz);
  fm_.Reset();
  stereo_.Reset();
  rds_.Reset();
  sync_.Reset();
  monitor_.Clear();
}

void Receiver::Interrupt() {
  fm_.Reset();
  stereo_.Reset();
  rds_.Reset();
  sync_.Reset();
}

void Receiver::Measure(std::span<const Complex> iq) {
  multiplex_.clear();
  fm_.Process(iq, multiplex_);
}

void Receiver::Process(std::span<const Complex> iq, int64_t endMs, bool rdsOn,
                       std::vector<float>& audio) {
  multiplex_.clear();
  pilotPhase_.clear();
  bits_.clear();
  fm_.Process(iq, multiplex_);
  stereo_.Process(multiplex_, audio, pilotPhase_);
  rds_.Process(multiplex_, pilotPhase_, stereo_.PilotLocked(), bits_);
  for (const uint8_t bit : bits_) {
    sync_.Push(bit, [&](const rds::AirGroup& air) {
      if (!rdsOn) return;
      const rds::ReceivedGroup group =
          rds::DecodeAirGroup(air, sync_.solid() ? rds::kReliableBurst : 0);
      monitor_.OnGroup(group, endMs, group.UnusableCount());
      if (tap_) tap_(group);
    });
  }
  monitor_.Expire(endMs);
}

int Receiver::Level(int64_t nowMs) const {
  const int carrierLevel = LevelForCnr(fm_.meter().CarrierToNoiseDb());
  if (carrierLevel == 15) return carrierLevel;
  const double damaged = monitor_.DamagedBlocksInLastSecond(nowMs) / kBlocksPerSecond;
  const int rdsLevel = static_cast<int>(std::min(damaged / kBlockErrorPerLevel, 14.0));
  return std::max(carrierLevel, rdsLevel);
}

}  // namespace halvane::driver::sdr
