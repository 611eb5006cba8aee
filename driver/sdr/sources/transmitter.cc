#include "sdr/sources/transmitter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "rds/group_encoder.h"
#include "sdr/broadcast.h"
#include "sim/prng.h"
#include "sim/programme_schedule.h"

namespace halvane::driver::sdr {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// The RDS chips are shaped at 16 samples a chip and read between those samples.
constexpr unsigned kRdsWaveSamplesPerChip = 16;
constexpr double kRdsWaveRate = kRdsChipRate * kRdsWaveSamplesPerChip;
constexpr unsigned kShaperSemiLength = 4;  // chips

// Root-raised-cosine chips (roll-off 1), a lone chip peaking at 1.
RealInterpolator MakeShaper() {
  constexpr unsigned kTaps = 2 * kRdsWaveSamplesPerChip * kShaperSemiLength + 1;
  float taps[kTaps];
  liquid_firdes_prototype(LIQUID_FIRFILT_RRC, kRdsWaveSamplesPerChip, kShaperSemiLength, 1.0f, 0.0f,
                          taps);
  float peak = 0;
  for (const float tap : taps) peak = std::max(peak, std::fabs(tap));
  for (float& tap : taps) tap /= peak;
  return RealInterpolator(firinterp_rrrf_create(kRdsWaveSamplesPerChip, taps, kTaps));
}

// `phase` brought into [0, 2 pi).
double Turn(double phase) { return phase - kTwoPi * std::floor(phase / kTwoPi); }

}  // namespace

MultiplexModel::MultiplexModel(MultiplexOptions options)
    : options_(std::move(options)), shaper_(MakeShaper()) {
  // Pre-emphasis H(f) = 1 + j 2 pi f tau, applied to the tones in closed form.
  const auto emphasised = [&](double hz, double level) {
    const double wTau = kTwoPi * hz * options_.preemphasisUs * 1e-6;
    return Sine{hz, level * std::sqrt(1 + wTau * wTau), std::atan(wTau)};
  };
  tone_ = emphasised(options_.tone.hz, options_.tone.level);
  if (options_.tone.rightHz > 0)
    rightTone_ = emphasised(options_.tone.rightHz, options_.tone.level);
  for (const Partial& partial : options_.chord) {
    chord_.emplace_back(emphasised(partial.hz, partial.level), partial.left);
  }
}

void MultiplexModel::ExtendRds(double untilIndex) {
  while (static_cast<double>(rdsWaveStart_ + rdsWave_.size()) < untilIndex + 2) {
    if (nextBit_ == bits_.size()) {
      const rds::Group group =
          sim::ProgrammeGroup(*options_.rds, options_.stereo, nextGroup_, options_.onAirMs);
      std::array<uint32_t, rds::kBlocksPerGroup> blocks = rds::EncodeBlocks(group);
      if (options_.rdsOnAir) options_.rdsOnAir(nextGroup_, blocks);
      ++nextGroup_;
      bits_.clear();
      for (const uint32_t block : blocks) {
        for (int bit = 25; bit >= 0; --bit) bits_.push_back((block >> bit) & 1);
      }
      nextBit_ = 0;
    }
    // Differential coding, then each bit as a biphase pair of chips: 1 as +-, 0 as -+.
    lastDifferential_ ^= bits_[nextBit_++];
    const float first = lastDifferential_ ? 1.0f : -1.0f;
    float shaped[2 * kRdsWaveSamplesPerChip];
    firinterp_rrrf_execute(shaper_.get(), first, shaped);
    firinterp_rrrf_execute(shaper_.get(), -first, shaped + kRdsWaveSamplesPerChip);
    rdsWave_.insert(rdsWave_.end(), std::begin(shaped), std::end(shaped));
  }
  // Forget what lies well behind.
  const double keepFrom = untilIndex - 64;
  if (keepFrom > static_cast<double>(rdsWaveStart_) + 4096) {
    const size_t drop = static_cast<size_t>(keepFrom) - rdsWaveStart_;
    rdsWave_.erase(rdsWave_.begin(), rdsWave_.begin() + static_cast<ptrdiff_t>(drop));
    rdsWaveStart_ += drop;
  }
}

float MultiplexModel::At(double t) {
  // Phases are reduced in double precision; their sines are taken in single precision, far
  // finer than any receiver hears (the model is called for every sample of every station).
  double left = 0;
  double right = 0;
  if (options_.programme) {
    if (!feedOffsetS_) feedOffsetS_ = options_.programme->position() - t;
    const StereoSample sample = options_.programme->At(t + *feedOffsetS_);
    left = sample.left;
    right = sample.right;
  } else {
    const auto sine = [t](const Sine& s) {
      return s.amplitude * std::sin(static_cast<float>(Turn(kTwoPi * s.hz * t + s.phase)));
    };
    const double tone = sine(tone_);
    left = options_.tone.left ? tone : 0;
    right = rightTone_.hz > 0 ? sine(rightTone_) : options_.tone.right ? tone : 0;
    for (const auto& [partial, inLeft] : chord_) (inLeft ? left : right) += sine(partial);
  }
  // The subcarriers are the pilot's harmonics, from its sine and cosine alone:
  // sin 2p = 2 sin p cos p, sin 3p = sin p (3 - 4 sin^2 p).
  const auto pilot = static_cast<float>(Turn(kTwoPi * kPilotHz * t));
  const double sinPilot = std::sin(pilot);
  double value = kAudioShare * (left + right) / 2;
  if (options_.stereo && t >= options_.stereoFromS) {
    const double sinTwice = 2 * sinPilot * std::cos(pilot);
    value += kAudioShare * (left - right) / 2 * sinTwice;
    if (options_.pilot) value += kPilotShare * sinPilot;
  }
  if (options_.rds) {
    const double index = t * kRdsWaveRate;
    ExtendRds(index);
    const double local = index - static_cast<double>(rdsWaveStart_);
    const size_t i = static_cast<size_t>(local);
    const double frac = local - static_cast<double>(i);
    const double chips = rdsWave_[i] * (1 - frac) + rdsWave_[i + 1] * frac;
    value += kRdsShare * chips * sinPilot * (3 - 4 * sinPilot * sinPilot);
  }
  return static_cast<float>(value);
}

NoiseSource::NoiseSource(double sigma, uint64_t seed) : sigma_(sigma), state_(seed) {}

double NoiseSource::SigmaFor(double amplitude, double cnrDb, double sampleRate) {
  const double cnr = std::pow(10.0, cnrDb / 10);
  return amplitude * std::sqrt(sampleRate / kNoiseBandwidthHz / cnr);
}

uint64_t NoiseSource::NextBits() { return sim::Mix64(state_++); }

float NoiseSource::NextReal() {
  if (hasSpare_) {
    hasSpare_ = false;
    return spare_;
  }
  // Box-Muller: two independent normal values from two uniform ones.
  const double u1 = (static_cast<double>(NextBits() >> 11) + 1) * 0x1.0p-53;
  const double u2 = static_cast<double>(NextBits() >> 11) * 0x1.0p-53;
  const double r = std::sqrt(-2 * std::log(u1)) * sigma_;
  spare_ = static_cast<float>(r * std::sin(kTwoPi * u2));
  hasSpare_ = true;
  return static_cast<float>(r * std::cos(kTwoPi * u2));
}

Complex NoiseSource::Next() {
  // Each part carries half the power.
  constexpr float kHalf = 0.70710678f;
  const float i = NextReal();
  return {i * kHalf, NextReal() * kHalf};
}

Transmitter::Transmitter(TransmitterOptions options)
    : options_(std::move(options)),
      multiplex_(options_.multiplex),
      multipath_(options_.echoes, options_.sampleRate),
      noise_(options_.cnrDb
                 ? NoiseSource::SigmaFor(options_.amplitude, *options_.cnrDb, options_.sampleRate)
                 : 0.0,
             options_.seed),
      stepS_(1.0 / (options_.sampleRate * (1 + options_.clockErrorPpm * 1e-6))) {
  uint64_t seed = options_.seed;
  for (const Neighbour& neighbour : options_.neighbours) {
    TransmitterOptions other;
    other.multiplex = neighbour.multiplex;
    other.sampleRate = options_.sampleRate;
    other.carrierOffsetHz = options_.carrierOffsetHz + neighbour.offsetHz;
    other.clockErrorPpm = options_.clockErrorPpm;
    other.amplitude =
        options_.amplitude * static_cast<float>(std::pow(10.0, neighbour.relativeDb / 20));
    other.seed = ++seed;
    neighbours_.emplace_back(std::move(other));
  }
}

void Transmitter::Generate(std::span<Complex> out) {
  std::fill(out.begin(), out.end(), Complex{});
  Add(out);
  if (options_.cnrDb) {
    for (Complex& sample : out) sample += noise_.Next();
  }
}

void Transmitter::Add(std::span<Complex> out) {
  if (multipath_.empty()) {
    AddCarrier(out);
  } else {
    carrier_.assign(out.size(), Complex{});
    AddCarrier(carrier_);
    multipath_.Apply(carrier_);
    for (size_t i = 0; i < out.size(); ++i) out[i] += carrier_[i];
  }
  for (Transmitter& neighbour : neighbours_) neighbour.AddCarrier(out);
}

void Transmitter::AddCarrier(std::span<Complex> out) {
  for (Complex& sample : out) {
    t_ += stepS_;
    const double m = multiplex_.At(t_);
    phase_ += kTwoPi * (kDeviationHz * m + options_.carrierOffsetHz) * stepS_;
    if (std::fabs(phase_) > std::numbers::pi) phase_ -= kTwoPi * std::round(phase_ / kTwoPi);
    const bool off = t_ >= options_.dropoutFromS && t_ < options_.dropoutFromS + options_.dropoutS;
    if (!off) sample += std::polar(options_.amplitude, static_cast<float>(phase_));
  }
}

}  // namespace halvane::driver::sdr
