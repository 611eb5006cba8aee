#include "sdr/sources/multipath_channel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace halvane::driver::sdr {
namespace {

// A delay between samples is read by cubic (four-point Lagrange) interpolation: within a
// fraction of a dB across a 200 kHz channel at the rates a receiver runs at.
constexpr size_t kInterpolatorSpan = 4;

}  // namespace

MultipathChannel::MultipathChannel(const std::vector<Echo>& echoes, double sampleRate) {
  for (const Echo& echo : echoes) {
    // Under one sample the interpolator would need samples yet to come.
    Path path{std::max(echo.delayUs * 1e-6 * sampleRate, 1.0),
              static_cast<float>(std::pow(10.0, echo.relativeDb / 20)),
              echo.dopplerHz / sampleRate};
    reach_ =
        std::max(reach_, static_cast<size_t>(std::ceil(path.delaySamples)) + kInterpolatorSpan);
    echoes_.push_back(path);
  }
  history_.assign(reach_, Complex{});
}

void MultipathChannel::Apply(std::span<Complex> signal) {
  if (echoes_.empty()) return;
  history_.insert(history_.end(), signal.begin(), signal.end());
  for (Path& path : echoes_) {
    // Sample n of the signal is history_[reach_ + n]; the echo reads it `delaySamples` earlier,
    // between samples k - 1 .. k + 2 where k + f = reach_ + n - delay.
    const double back = path.delaySamples;
    const auto whole = static_cast<size_t>(std::floor(back));
    const auto f = static_cast<float>(1 - (back - static_cast<double>(whole)));
    // Lagrange weights for the points -1, 0, 1, 2 at f.
    const float w[4] = {-f * (f - 1) * (f - 2) / 6, (f + 1) * (f - 1) * (f - 2) / 2,
                        -(f + 1) * f * (f - 2) / 2, (f + 1) * f * (f - 1) / 6};
    const double step = 2 * std::numbers::pi * path.turnsPerSample;
    const auto turn = static_cast<Complex>(std::polar(1.0, step));
    auto rotor = static_cast<Complex>(
        std::polar(static_cast<double>(path.gain), 2 * std::numbers::pi * path.phase));
    for (size_t n = 0; n < signal.size(); ++n) {
      const size_t k = reach_ + n - whole - 1;
      const Complex delayed = w[0] * history_[k - 1] + w[1] * history_[k] + w[2] * history_[k + 1] +
                              w[3] * history_[k + 2];
      signal[n] += rotor * delayed;
      rotor *= turn;
    }
    path.phase += path.turnsPerSample * static_cast<double>(signal.size());
    path.phase -= std::floor(path.phase);
  }
  history_.erase(history_.begin(), history_.end() - static_cast<ptrdiff_t>(reach_));
}

}  // namespace halvane::driver::sdr
