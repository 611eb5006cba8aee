// A station's programme on its way into the transmitter: made at 48 kHz, pre-emphasised, held by
// the broadcast limiter so its peaks never pass full deviation, low-passed at its band's top
// (FM: 15 kHz, so nothing of it reaches the pilot or the stereo subcarrier; AM: 4.5 kHz, so its
// sidebands stay in its channel) and interpolated to 192 kHz, from where any instant is read
// between two samples. A transmitter of any kind (FM, AM) takes its audio from here; an AM
// transmitter without pre-emphasis.
#ifndef HALVANE_DRIVER_SDR_SOURCES_PROGRAMME_FEED_H
#define HALVANE_DRIVER_SDR_SOURCES_PROGRAMME_FEED_H

#include <functional>
#include <memory>
#include <vector>

#include "programme/programme.h"
#include "sdr/liquid_objects.h"

namespace halvane::driver::sdr {

struct StereoSample {
  float left = 0;
  float right = 0;
};

class ProgrammeFeed {
 public:
  // Whether the station's traffic announcement runs `s` seconds after the feed began.
  using Announcements = std::function<bool(double s)>;

  // `preemphasisUs` 0: none. `am`: the AM broadcast's audio band in mono, else FM's in stereo.
  // `announcements`: when the programme gives way to the station's traffic news; none: never.
  ProgrammeFeed(const programme::Options& options, double preemphasisUs, bool am = false,
                Announcements announcements = {});

  // Left and right `t` seconds after the start, peaking at most 1. `t` never goes backwards.
  StereoSample At(double t);
  // The time last read.
  double position() const { return position_; }

  // The gain the limiter applies now (1: none), for measuring how hard it works.
  float limiterGain() const { return gain_; }

 private:
  void Extend();
  void PreEmphasise(std::span<float> block);
  void Limit(std::span<float> block);

  std::unique_ptr<programme::Programme> programme_;
  bool am_;  // the AM band, in mono
  Announcements announcements_;
  uint64_t renderedFrames_ = 0;  // at 48 kHz
  // Pre-emphasis (1 + s tau1) / (1 + s tau2) by the bilinear transform, per channel.
  float b0_ = 1, b1_ = 0, a1_ = 0;
  float lastIn_[2] = {0, 0};
  float lastOut_[2] = {0, 0};
  std::vector<float> delayed_;  // the limiter's look-ahead, interleaved
  float gain_ = 1;
  RealInterpolator upLeft_;
  RealInterpolator upRight_;
  std::vector<float> block_;
  std::vector<StereoSample> fine_;  // at 192 kHz, from sample fineStart_ on
  uint64_t fineStart_ = 0;
  double position_ = 0;
};

}  // namespace halvane::driver::sdr

#endif
