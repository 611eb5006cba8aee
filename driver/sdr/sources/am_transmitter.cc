#include "sdr/sources/am_transmitter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// `phase` in turns, brought into [0, 1) before its sine is taken in single precision.
float Turns(double phase) { return static_cast<float>(kTwoPi * (phase - std::floor(phase))); }

// NoiseSource states its ratio in kNoiseBandwidthHz; the same density in `bandwidthHz`.
double CnrIn200k(double cnrDb, double bandwidthHz) {
  return cnrDb + 10 * std::log10(bandwidthHz / kNoiseBandwidthHz);
}

}  // namespace

AmTransmitter::AmTransmitter(AmTransmitterOptions options)
    : options_(std::move(options)),
      noise_(options_.cnrDb
                 ? NoiseSource::SigmaFor(options_.amplitude,
                                         CnrIn200k(*options_.cnrDb, options_.noiseBandwidthHz),
                                         options_.sampleRate)
                 : 0.0,
             options_.seed),
      clickNoise_(1.0, options_.seed ^ 0xc11c),
      stepS_(1.0 / options_.sampleRate),
      clickAmplitude_(static_cast<float>(std::pow(10.0, options_.clickDb / 20))) {
  uint64_t seed = options_.seed;
  for (const AmNeighbour& neighbour : options_.neighbours) {
    AmTransmitterOptions other;
    other.tone = neighbour.tone;
    other.depth = neighbour.depth;
    other.sampleRate = options_.sampleRate;
    other.carrierOffsetHz = options_.carrierOffsetHz + neighbour.offsetHz;
    other.amplitude =
        options_.amplitude * static_cast<float>(std::pow(10.0, neighbour.relativeDb / 20));
    other.seed = ++seed;
    neighbours_.emplace_back(std::move(other));
  }
  if (options_.clicksPerSecond > 0) nextClickS_ = 0.5 / options_.clicksPerSecond;
  if (options_.programme && options_.skyWave) {
    const auto delay = static_cast<size_t>(std::lround(options_.skyWave->delayS / stepS_));
    envelopes_.assign(delay + 1, 1.0f);  // this sample's and the delay's before it
  }
}

void AmTransmitter::Generate(std::span<Complex> out) {
  std::fill(out.begin(), out.end(), Complex{});
  Add(out);
  if (options_.cnrDb) {
    for (Complex& sample : out) sample += noise_.Next();
  }
}

void AmTransmitter::Add(std::span<Complex> out) {
  AddCarrier(out);
  for (AmTransmitter& neighbour : neighbours_) neighbour.AddCarrier(out);
}

Complex AmTransmitter::Signal(double t) const {
  const Tone& tone = options_.tone;
  const double programme = tone.level * std::sin(Turns(tone.hz * t));
  const auto envelope = static_cast<float>(1 + options_.depth * programme);
  return std::polar(envelope, Turns(options_.carrierOffsetHz * t));
}

Complex AmTransmitter::Fed(double t) {
  // A retune makes a new transmitter: the programme goes on from where the feed was read last.
  if (!feedOffsetS_) feedOffsetS_ = options_.programme->position() - t;
  const StereoSample sample = options_.programme->At(t + *feedOffsetS_);
  const auto envelope = static_cast<float>(1 + options_.depth * 0.5 * (sample.left + sample.right));
  if (!envelopes_.empty()) {
    envelopes_[envelopeAt_] = envelope;
    envelopeAt_ = (envelopeAt_ + 1) % envelopes_.size();
  }
  return std::polar(envelope, Turns(options_.carrierOffsetHz * t));
}

Complex AmTransmitter::FedSkyWave(double t) const {
  // The oldest envelope kept is the one sent the sky wave's delay ago.
  const double then = t - static_cast<double>(envelopes_.size() - 1) * stepS_;
  return std::polar(envelopes_[envelopeAt_], Turns(options_.carrierOffsetHz * then));
}

void AmTransmitter::AddCarrier(std::span<Complex> out) {
  const float amplitude = options_.amplitude;
  const bool fed = options_.programme != nullptr;
  for (Complex& sample : out) {
    t_ += stepS_;
    Complex signal = fed ? Fed(t_) : Signal(t_);
    if (const std::optional<SkyWave>& sky = options_.skyWave) {
      const double turn = sky->turnsPerSecond * t_;
      const Complex late = fed ? FedSkyWave(t_) : Signal(t_ - sky->delayS);
      signal += static_cast<float>(sky->ratio) * late * std::polar(1.0f, Turns(turn));
    }
    sample += amplitude * signal;
    if (options_.clicksPerSecond <= 0) continue;
    if (t_ >= nextClickS_) {
      clickEndS_ = t_ + options_.clickS;
      // Clicks come at random, on average clicksPerSecond of them a second.
      const double spacing = 1 / options_.clicksPerSecond;
      nextClickS_ += spacing * std::max(0.2, 1 + 0.5 * static_cast<double>(clickNoise_.NextReal()));
    }
    if (t_ < clickEndS_) sample += amplitude * clickAmplitude_ * clickNoise_.Next();
  }
}

}  // namespace halvane::driver::sdr
