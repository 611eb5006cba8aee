#include "tone_analysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// <complex> first, so liquid's complex type is std::complex<float>.
// clang-format off
#include <complex>
#include <liquid/liquid.h>
// clang-format on

namespace halvane::audio_test {
namespace {

constexpr double kRate = 48000.0;

}  // namespace

std::vector<float> Channel(std::span<const float> interleaved, int channel, size_t first,
                           size_t count) {
  std::vector<float> out;
  for (size_t f = first; f < first + count && 2 * f + 1 < interleaved.size(); ++f)
    out.push_back(interleaved[2 * f + channel]);
  return out;
}

double ToneAmplitude(std::span<const float> samples, double frequency) {
  // Correlation with a sine and a cosine: the tone's amplitude whatever its phase.
  double re = 0, im = 0;
  for (size_t n = 0; n < samples.size(); ++n) {
    const double phase = 2 * std::numbers::pi * frequency * n / kRate;
    re += samples[n] * std::cos(phase);
    im += samples[n] * std::sin(phase);
  }
  return samples.empty() ? 0 : 2 * std::hypot(re, im) / samples.size();
}

double ToneLevel(std::span<const float> samples, double frequency) {
  constexpr size_t kBlock = 960;
  std::vector<double> levels;
  for (size_t first = 0; first + kBlock <= samples.size(); first += kBlock)
    levels.push_back(ToneAmplitude(samples.subspan(first, kBlock), frequency));
  if (levels.empty()) return 0;
  std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
  return levels[levels.size() / 2];
}

double Rms(std::span<const float> samples) {
  double sum = 0;
  for (float s : samples) sum += double{s} * s;
  return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

size_t FirstAbove(std::span<const float> interleaved, float threshold) {
  for (size_t i = 0; i < interleaved.size(); ++i)
    if (std::fabs(interleaved[i]) > threshold) return i / 2;
  return interleaved.size() / 2;
}

size_t LastAbove(std::span<const float> interleaved, float threshold) {
  for (size_t i = interleaved.size(); i-- > 0;)
    if (std::fabs(interleaved[i]) > threshold) return i / 2;
  return interleaved.size() / 2;
}

std::vector<float> WithoutGaps(std::span<const float> interleaved, size_t gap) {
  std::vector<float> heard;
  size_t zeros = 0;  // frames of exact silence just before frame f, not yet kept
  const size_t frames = interleaved.size() / 2;
  for (size_t f = 0; f <= frames; ++f) {
    if (f < frames && interleaved[2 * f] == 0.0f && interleaved[2 * f + 1] == 0.0f) {
      ++zeros;
      continue;
    }
    // A short run of zeros belongs to the sound; a long one is a gap, and so is any at the ends.
    if (f < frames && zeros < gap && !heard.empty()) heard.insert(heard.end(), 2 * zeros, 0.0f);
    zeros = 0;
    if (f < frames) heard.insert(heard.end(), {interleaved[2 * f], interleaved[2 * f + 1]});
  }
  return heard;
}

size_t EqualChannels(std::span<const float> interleaved, size_t from, size_t frames) {
  const size_t total = interleaved.size() / 2;
  size_t run = 0;
  bool sound = false;
  for (size_t f = from; f < total; ++f) {
    const float left = interleaved[2 * f], right = interleaved[2 * f + 1];
    if (std::fabs(left - right) > 1e-6f) {
      run = 0;
      sound = false;
      continue;
    }
    sound = sound || std::fabs(left) > 0.01f;
    if (++run >= frames && sound) return f + 1 - run;
  }
  return total;
}

float LargestStep(std::span<const float> interleaved, size_t firstFrame) {
  float largest = 0;
  for (size_t i = 2 * firstFrame + 2; i < interleaved.size(); ++i)
    largest = std::fmax(largest, std::fabs(interleaved[i] - interleaved[i - 2]));
  return largest;
}

double StrongestLineShare(std::span<const float> samples) {
  // Welch's average of Hann-windowed 4096-point spectra; a line spreads over its bin and two
  // either side.
  constexpr unsigned kSize = 4096;
  std::vector<std::complex<float>> in(kSize), out(kSize);
  fftplan plan = fft_create_plan(kSize, in.data(), out.data(), LIQUID_FFT_FORWARD, 0);
  std::vector<double> power(kSize / 2, 0.0);
  for (size_t first = 0; first + kSize <= samples.size(); first += kSize / 2) {
    for (unsigned n = 0; n < kSize; ++n) {
      const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / kSize);
      in[n] = static_cast<float>(hann * samples[first + n]);
    }
    fft_execute(plan);
    for (unsigned k = 1; k < kSize / 2; ++k) power[k] += std::norm(out[k]);
  }
  fft_destroy_plan(plan);
  double total = 0, strongest = 0;
  for (unsigned k = 1; k < kSize / 2; ++k) total += power[k];
  for (unsigned k = 3; k + 2 < kSize / 2; ++k) {
    strongest =
        std::max(strongest, power[k - 2] + power[k - 1] + power[k] + power[k + 1] + power[k + 2]);
  }
  return total > 0 ? strongest / total : 0;
}

double SideShare(std::span<const float> interleaved) {
  double mid = 0, side = 0;
  for (size_t i = 0; i + 1 < interleaved.size(); i += 2) {
    mid += std::pow((interleaved[i] + interleaved[i + 1]) / 2.0, 2);
    side += std::pow((interleaved[i] - interleaved[i + 1]) / 2.0, 2);
  }
  return mid > 0 ? side / mid : 0;
}

double BurstsPerSecond(std::span<const float> samples) {
  constexpr size_t kBlock = 960;
  std::vector<double> envelope;
  for (size_t first = 0; first + kBlock <= samples.size(); first += kBlock)
    envelope.push_back(Rms(samples.subspan(first, kBlock)));
  if (envelope.empty()) return 0;
  std::vector<double> sorted = envelope;
  std::sort(sorted.begin(), sorted.end());
  const double threshold = sorted[sorted.size() * 9 / 10] / 4;
  int bursts = 0;
  for (size_t i = 1; i < envelope.size(); ++i)
    if (envelope[i - 1] < threshold && envelope[i] >= threshold) ++bursts;
  return bursts / (static_cast<double>(samples.size()) / kRate);
}

std::vector<float> Tone(double leftHz, double leftAmplitude, double rightHz, double rightAmplitude,
                        size_t start, size_t frames) {
  std::vector<float> out(2 * frames);
  for (size_t f = 0; f < frames; ++f) {
    const double t = (start + f) / kRate;
    out[2 * f] = static_cast<float>(leftAmplitude * std::sin(2 * std::numbers::pi * leftHz * t));
    out[2 * f + 1] =
        static_cast<float>(rightAmplitude * std::sin(2 * std::numbers::pi * rightHz * t));
  }
  return out;
}

}  // namespace halvane::audio_test
