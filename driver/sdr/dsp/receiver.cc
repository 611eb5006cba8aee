#include "sdr/dsp/receiver.h"

#include <algorithm>
#include <cmath>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// RDS sends 1187.5 / 26 blocks a second.
constexpr double kBlocksPerSecond = kRdsBitRate / 26;
// The reception stages act on pieces no longer than this, whatever the caller hands over.
constexpr double kPieceMs = 5;
constexpr double kQualitySmoothing = 0.25;
// The memory of the stages that act on noise: 200 ms of pieces.
constexpr size_t kMuteHoldPieces = 40;

}  // namespace

int LevelForCnr(std::optional<double> cnrDb) {
  if (!cnrDb || *cnrDb < kNoCarrierCnrDb) return 15;
  const double steps = std::ceil((kLevelZeroCnrDb - *cnrDb) / kDbPerLevel);
  return static_cast<int>(std::clamp(steps, 0.0, 14.0));
}

Receiver::Receiver(const ReceiverOptions& options)
    : options_(options),
      fm_(options.sampleRate),
      stereo_(options.deemphasisUs),
      softMute_(kFmSoftMute) {
  SetSound(options.sound);
}

void Receiver::SetSound(const SoundOptions& sound) {
  options_.sound = sound;
  stereo_.blend().SetEnabled(sound.blend);
  highCut_.SetEnabled(sound.highCut);
  softMute_.SetEnabled(sound.softMute);
  fm_.equaliser().SetEnabled(sound.equaliser);
}

void Receiver::Tune(double offsetHz) {
  fm_.SetOffset(offsetHz);
  fm_.Reset();
  stereo_.Reset();
  rds_.Reset();
  sync_.Reset();
  monitor_.Clear();
  highCut_.Reset();
  softMute_.Reset();
  recentCnr_.clear();
  smoothedCnr_.reset();
}

void Receiver::Interrupt() {
  fm_.Reset();
  stereo_.Reset();
  rds_.Reset();
  sync_.Reset();
  softMute_.Reset();
  recentCnr_.clear();
  smoothedCnr_.reset();
}

void Receiver::Measure(std::span<const Complex> iq) {
  multiplex_.clear();
  fm_.Process(iq, multiplex_);
}

void Receiver::Process(std::span<const Complex> iq, int64_t endMs, bool rdsOn,
                       std::vector<float>& audio) {
  const auto piece = static_cast<size_t>(options_.sampleRate * kPieceMs / 1000);
  while (iq.size() > piece + piece / 2) {
    ProcessPiece(iq.first(piece), endMs, rdsOn, audio);
    iq = iq.subspan(piece);
  }
  ProcessPiece(iq, endMs, rdsOn, audio);
  monitor_.Expire(endMs);
}

void Receiver::ProcessPiece(std::span<const Complex> iq, int64_t endMs, bool rdsOn,
                            std::vector<float>& audio) {
  multiplex_.clear();
  pilotPhase_.clear();
  bits_.clear();
  fm_.Process(iq, multiplex_);
  const std::optional<double> cnr = fm_.quality().cnrDb;
  // A piece too short to measure keeps the stages where they are.
  if (cnr) {
    // A piece's estimate scatters by about a dB; the blend acts on it smoothed over about
    // 20 ms, so that it never ripples the programme's level, and so narrows the sound under an
    // echo too. The high cut and the soft mute act on the best quality of the last 200 ms, which
    // a moving echo's dips leave alone; the high cut on the piece's figure, which counts what
    // the equaliser leaves of an echo (its treble hides the echo's distortion as it does hiss),
    // the soft mute, which is for a carrier too weak to carry a programme, on the carrier-to-
    // noise the noise beside the channel tells where the equaliser is undoing an echo: no echo
    // moves it, so a strong station in a city is never turned down.
    smoothedCnr_ = smoothedCnr_ ? *smoothedCnr_ + kQualitySmoothing * (*cnr - *smoothedCnr_) : *cnr;
    stereo_.SetQuality(smoothedCnr_);
    const PieceQuality& piece = fm_.quality();
    const bool echo = piece.equalised && piece.spanCnrDb;
    const NoiseFigures held =
        NoiseQuality({*cnr, echo ? std::max(*cnr, *piece.spanCnrDb) : *cnr}, piece.carrier);
    highCut_.SetQuality(held.highCutDb);
    softMute_.SetQuality(held.softMuteDb);
  }
  const size_t first = audio.size();
  stereo_.Process(multiplex_, audio, pilotPhase_);
  const std::span<float> sound = std::span<float>(audio).subspan(first);
  highCut_.Apply(sound);
  softMute_.Apply(sound);
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
}

Receiver::NoiseFigures Receiver::NoiseQuality(NoiseFigures piece, bool carrier) {
  if (!carrier) {
    recentCnr_.clear();
    return piece;
  }
  if (recentCnr_.size() < kMuteHoldPieces) {
    recentCnr_.push_back(piece);
  } else {
    recentCnr_[recentAt_] = piece;
    recentAt_ = (recentAt_ + 1) % kMuteHoldPieces;
  }
  NoiseFigures best = recentCnr_.front();
  for (const NoiseFigures& each : recentCnr_) {
    best.highCutDb = std::max(best.highCutDb, each.highCutDb);
    best.softMuteDb = std::max(best.softMuteDb, each.softMuteDb);
  }
  return best;
}

Reception Receiver::reception() const {
  Reception now;
  now.cnrDb = fm_.quality().cnrDb;
  now.multipathDb = fm_.quality().multipathDb;
  now.pilot = stereo_.PilotLevel();
  now.separation = stereo_.blend().share();
  now.highCutHz = highCut_.CornerHz();
  now.softMuteDb = softMute_.enabled() ? softMute_.AttenuationDb() : 0;
  if (fm_.equaliser().enabled()) now.equaliserDb = fm_.equaliser().EchoDb();
  return now;
}

int Receiver::Level(int64_t nowMs) const {
  const int carrierLevel = LevelForCnr(fm_.meter().CarrierToNoiseDb());
  if (carrierLevel == 15) return carrierLevel;
  const double damaged = monitor_.DamagedBlocksInLastSecond(nowMs) / kBlocksPerSecond;
  const int rdsLevel = static_cast<int>(std::min(damaged / kBlockErrorPerLevel, 14.0));
  return std::max(carrierLevel, rdsLevel);
}

}  // namespace halvane::driver::sdr
