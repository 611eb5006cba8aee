#include "sdr/dsp/fm_demodulator.h"

#include <algorithm>
#include <cmath>

#include "sdr/broadcast.h"

namespace halvane::driver::sdr {
namespace {

// The meter publishes every 50 ms and needs 5 ms before it says anything.
constexpr size_t kMeterWindow = kMultiplexRate / 20;
constexpr size_t kMeterMinimum = kMultiplexRate / 200;
// The channel filter is filling for this long after a reset.
constexpr size_t kSettleSamples = kMultiplexRate / 500;
// The AGC follows the channel's power over about 5 ms (a block's mean, smoothed), so the
// discriminator sees unit power whatever the device's gain and the station's strength.
constexpr float kAgcSmoothing = 0.5f;
// The envelope's power swing under which a carrier is there (about 3 dB C/N in the channel);
// noise alone swings it by 1.
constexpr double kCarrierSwing = 0.6;
constexpr double kNoiseSwing = 1;
// The null of a moving echo swings the envelope as much as noise does for a few milliseconds (a
// piece at the null of a -3 dB echo reads 0.67); noise goes on. A carrier is taken for gone
// once its pieces have looked like noise for this long, or at once where the channel's power
// has fallen to a quarter of the carrier's (a tunnel, a lost station).
constexpr size_t kNoiseHoldSamples = kMultiplexRate / 40;
constexpr double kLostPowerShare = 0.25;
// The carrier's power is followed down slowly (a fade), up at once.
constexpr double kCarrierPowerDecay = 0.98;
// The captured span's power over the channel's, beyond what noise alone gives, above which a
// neighbour is strong enough that its edge in the channel would steer the equaliser (+20 dB at
// 200 kHz reads 13 dB): the equaliser then holds its taps.
constexpr double kCrowdedDb = 8;
// The discriminator takes the equaliser's output only while it reads a better carrier-to-noise
// than the plain channel does, by kTakeGainDb to start and kLeaveGainDb to go on (smoothed over
// about 25 ms): in noise with no echo to undo its taps only wander, which costs the stereo and
// RDS more than it could win.
constexpr double kTakeGainDb = 3.5;
constexpr double kLeaveGainDb = 2.5;
constexpr double kGainSmoothing = 0.2;
constexpr double kMostGainDb = 30;
// The noise beside the channel tells its carrier-to-noise only where the span holds at least
// as much again outside the channel (250 kHz leaves little more than the filter's skirts).
constexpr double kLeastSpanShare = 2;
// The span's power is taken on every kSpanStride-th sample.
constexpr size_t kSpanStride = 4;
constexpr double kLevelledLeast = 0.5;
constexpr double kLevelledMost = 2;
// Taps off the main one below this are the adaptation's own jitter, not an echo.
constexpr double kFaintestEchoDb = -25;

}  // namespace

ChannelMeter::ChannelMeter(double noiseBandwidthHz)
    : referenceDb_(10 * std::log10(noiseBandwidthHz / kNoiseBandwidthHz)) {}

void ChannelMeter::Add(Complex sample) {
  const double p = std::norm(sample);
  m2_ += p;
  m4_ += p * p;
  if (++count_ >= kMeterWindow) {
    Publish();
    m2_ = m4_ = 0;
    count_ = 0;
  }
}

void ChannelMeter::Publish() {
  const double m2 = m2_ / static_cast<double>(count_);
  const double m4 = m4_ / static_cast<double>(count_);
  const double carrier = std::sqrt(std::max(2 * m2 * m2 - m4, 0.0));
  const double noise = std::max(m2 - carrier, m2 * 1e-6);
  power_ = m2;
  cnrDb_ = m2 > 0 && carrier > 0 ? 10 * std::log10(carrier / noise) + referenceDb_ : -100.0;
}

void ChannelMeter::Reset() {
  m2_ = m4_ = 0;
  count_ = 0;
  cnrDb_.reset();
  power_ = 0;
}

std::optional<double> ChannelMeter::CarrierToNoiseDb() const {
  if (cnrDb_) return cnrDb_;
  if (count_ < kMeterMinimum) return std::nullopt;
  ChannelMeter partial = *this;
  partial.Publish();
  return partial.cnrDb_;
}

FmDemodulator::FmDemodulator(double inputRate)
    : filter_(inputRate),
      noiseSpanShare_(inputRate / filter_.NoiseBandwidthHz()),
      discriminator_(freqdem_create(static_cast<float>(kDeviationHz / kMultiplexRate))),
      dcBlocker_(iirfilt_rrrf_create_dc_blocker(1e-4f)),
      meter_(filter_.NoiseBandwidthHz()),
      qualityMeter_(filter_.NoiseBandwidthHz()) {
  Reset();
}

void FmDemodulator::SetOffset(double hz) { filter_.SetOffset(hz); }

void FmDemodulator::Reset() {
  filter_.Reset();
  gain_ = 1;
  freqdem_reset(discriminator_.get());
  iirfilt_rrrf_reset(dcBlocker_.get());
  meter_.Reset();
  equaliser_.Reset();
  quality_ = {};
  settle_ = kSettleSamples;
  noiseSamples_ = kNoiseHoldSamples;
  carrierPower_ = 0;
  outputSwing_ = kNoiseSwing;
  equalisedCnrDb_.reset();
  plainTail_.assign(CmaEqualiser::kMainTap, Complex{});
  equaliserGainDb_ = 0;
  equalised_ = false;
}

void FmDemodulator::KeepPlain() {
  plain_.assign(plainTail_.begin(), plainTail_.end());
  plain_.insert(plain_.end(), channel_.begin(), channel_.end());
  plainTail_.assign(plain_.end() - static_cast<ptrdiff_t>(plainTail_.size()), plain_.end());
  plain_.resize(channel_.size());
}

bool FmDemodulator::ChooseEqualised(std::optional<double> plainCnrDb) {
  if (!equaliser_.adapting() && equaliser_.EchoDb() < kFaintestEchoDb) equaliserGainDb_ = 0;
  if (plainCnrDb && equalisedCnrDb_) {
    const double gain = std::clamp(*equalisedCnrDb_ - *plainCnrDb, -kMostGainDb, kMostGainDb);
    equaliserGainDb_ += kGainSmoothing * (gain - equaliserGainDb_);
  }
  if (equaliserGainDb_ >= kTakeGainDb) equalised_ = true;
  if (equaliserGainDb_ < kLeaveGainDb) equalised_ = false;
  return equalised_;
}

bool FmDemodulator::Carrier(double swing, double power, size_t samples) {
  if (swing < kCarrierSwing) {
    noiseSamples_ = 0;
    carrierPower_ = std::max(power, carrierPower_ * kCarrierPowerDecay);
    return true;
  }
  noiseSamples_ += samples;
  const bool lost = noiseSamples_ >= kNoiseHoldSamples || power < kLostPowerShare * carrierPower_;
  if (lost) {
    noiseSamples_ = kNoiseHoldSamples;
    carrierPower_ = 0;
  }
  return !lost;
}

FmDemodulator::Span FmDemodulator::MeasureSpan(std::span<const Complex> iq,
                                               double channelPower) const {
  double power = 0;
  size_t taken = 0;
  for (size_t i = 0; i < iq.size(); i += kSpanStride, ++taken) power += std::norm(iq[i]);
  Span span;
  if (taken == 0 || channelPower <= 0 || power <= 0) return span;
  power /= static_cast<double>(taken);
  span.neighboursDb = 10 * std::log10(power / channelPower / noiseSpanShare_);
  // span = C + N0 fs, channel = C + N0 B: the noise density from what lies outside the channel.
  const double bandwidth = filter_.NoiseBandwidthHz();
  const double density = (power - channelPower) / (bandwidth * (noiseSpanShare_ - 1));
  const double carrier = channelPower - density * bandwidth;
  if (noiseSpanShare_ >= kLeastSpanShare && density > 0 && carrier > 0) {
    span.cnrDb = 10 * std::log10(carrier / (density * kNoiseBandwidthHz));
  }
  return span;
}

void FmDemodulator::Process(std::span<const Complex> iq, std::vector<float>& multiplex) {
  channel_.clear();
  filter_.Process(iq, channel_);
  const size_t produced = channel_.size();
  quality_ = {};
  if (produced == 0) return;
  // What the filter gave while it was still filling is neither measured nor adapted to.
  const size_t from = std::min(settle_, produced);
  settle_ -= from;
  const std::span<Complex> settled = std::span<Complex>(channel_).subspan(from);
  EnvelopeMoments input;
  input.Add(settled);
  double power = 0;
  for (const Complex sample : channel_) power += std::norm(sample);
  power /= static_cast<double>(produced);
  // The level the equaliser sees: far from unit power the AGC is still catching up (a carrier
  // back from a dropout arrives at the gain the noise was given) and the equaliser waits.
  double levelled = 0;
  if (power > 0) {
    const auto target = static_cast<float>(1 / std::sqrt(power));
    gain_ += kAgcSmoothing * (target - gain_);
    for (Complex& sample : channel_) sample *= gain_;
    levelled = power * gain_ * gain_;
  }
  // The equaliser adapts only where a carrier is there to steer by (its envelope swings less
  // than noise's wherever the equaliser has taken the echoes out, or, while it has not yet,
  // once an echo's null has passed), and where there is none it lets go of what it had learnt
  // (taps steered by noise at the carrier's edge would keep the returning carrier from the
  // pilot's lock). Beside a strong neighbour it holds what it has.
  const bool carrier = power > 0 && input.count > 0 &&
                       Carrier(std::min(input.Swing(), outputSwing_), power, input.count);
  if (!carrier) equaliser_.Reset();
  const bool levelledWell = levelled > kLevelledLeast && levelled < kLevelledMost;
  const Span span = MeasureSpan(iq, power);
  const bool crowded = span.neighboursDb >= kCrowdedDb;
  if (equaliser_.enabled()) KeepPlain();
  equaliser_.Process(channel_, carrier && levelledWell && !crowded && from == 0, equalisedCnrDb_);
  EnvelopeMoments output;
  output.Add(settled);
  if (output.count > 0) outputSwing_ = equaliser_.enabled() ? output.Swing() : kNoiseSwing;
  equalisedCnrDb_ = qualityMeter_.CarrierToNoiseDb(output);
  quality_.cnrDb = equalisedCnrDb_;
  if (equaliser_.enabled() && !ChooseEqualised(qualityMeter_.CarrierToNoiseDb(input))) {
    channel_.swap(plain_);
    quality_.cnrDb = qualityMeter_.CarrierToNoiseDb(input);
  }
  for (const Complex sample : std::span<const Complex>(channel_).subspan(from)) meter_.Add(sample);
  quality_.carrier = carrier;
  quality_.crowded = crowded;
  quality_.spanCnrDb = span.cnrDb;
  quality_.equalised = equaliser_.enabled() && equalised_;
  if (equaliser_.enabled() && equaliser_.EchoDb() >= kFaintestEchoDb) {
    quality_.multipathDb = equaliser_.EchoDb();
  }
  const size_t first = multiplex.size();
  multiplex.resize(first + produced);
  freqdem_demodulate_block(discriminator_.get(), channel_.data(), static_cast<unsigned>(produced),
                           multiplex.data() + first);
  iirfilt_rrrf_execute_block(dcBlocker_.get(), multiplex.data() + first,
                             static_cast<unsigned>(produced), multiplex.data() + first);
}

}  // namespace halvane::driver::sdr
