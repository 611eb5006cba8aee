// An IQ recording played in real time on the driver's clock, in a loop. The recording covers
// its centre frequency plus or minus half its sample rate; stations in that span can be tuned.
#ifndef HALVANE_DRIVER_SDR_SOURCES_FILE_SOURCE_H
#define HALVANE_DRIVER_SDR_SOURCES_FILE_SOURCE_H

#include <cstdio>
#include <string>

#include "sdr/sdr_config.h"
#include "sdr/sources/iq_source.h"

namespace halvane::driver::sdr {

// A recording must hold at least this long a signal.
inline constexpr int64_t kMinimumRecordingMs = 100;
// The highest sample rate of a recording the receiver demodulates in real time with room to
// spare on one core (at 10 MS/s it takes about 40 % of the signal's duration; at 20 MS/s about
// 80 %, before reading and decoding the file); a faster recording is refused.
inline constexpr int64_t kHighestRecordingRate = 10'000'000;

class FileSource final : public PacedSource {
 public:
  FileSource(std::string path, SampleFormat format, double rate, int64_t centreHz);
  ~FileSource() override;

  int32_t Open(int64_t nowMs) override;
  void Close() override;
  double SampleRate() const override { return rate_; }
  int32_t Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) override;

 protected:
  int32_t Produce(size_t count, std::vector<Complex>& out) override;
  int32_t Skip(size_t count) override;

 private:
  int32_t Check();
  int32_t Truncated();

  std::string path_;
  SampleFormat format_;
  double rate_;
  int64_t centreHz_;
  std::FILE* file_ = nullptr;
  uint64_t samples_ = 0;   // in the file
  uint64_t position_ = 0;  // next sample to play
  std::vector<uint8_t> buffer_;
};

}  // namespace halvane::driver::sdr

#endif
