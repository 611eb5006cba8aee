// A receiver device through SoapySDR (an RTL-SDR dongle with its SoapySDR module, or any other
// device SoapySDR drives). A thread of the driver reads the device's sample stream into a
// buffer the tuner drains; the device is tuned a quarter of the sample rate away from the
// station, so its DC spike stays out of the channel.
#ifndef HALVANE_DRIVER_SDR_SOURCES_SOAPY_SOURCE_H
#define HALVANE_DRIVER_SDR_SOURCES_SOAPY_SOURCE_H

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "sdr/sdr_config.h"
#include "sdr/sources/iq_source.h"

namespace SoapySDR {
class Device;
class Stream;
}  // namespace SoapySDR

namespace halvane::driver::sdr {

class SoapySource final : public IqSource {
 public:
  explicit SoapySource(const SdrConfig& config);
  ~SoapySource() override;

  int32_t Open(int64_t nowMs) override;
  void Close() override;
  double SampleRate() const override { return rate_; }
  int32_t Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) override;
  int32_t ReadDue(int64_t nowMs, std::vector<Complex>& out) override;
  int32_t ReadNow(size_t count, std::vector<Complex>& out) override;

 private:
  void ReadLoop();
  // The device's own tuner covers `frequencyHz` (an HF receiver does below 24 MHz).
  bool TunerReaches(int64_t frequencyHz) const;
  int32_t Lost();

  SdrConfig config_;
  double rate_;
  double loOffsetHz_ = 0;
  bool offersDirectSampling_ = false;  // the device has the direct_samp setting
  bool directSampling_ = false;        // and it is on
  SoapySDR::Device* device_ = nullptr;
  SoapySDR::Stream* stream_ = nullptr;
  std::thread reader_;
  std::atomic<bool> running_{false};
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Complex> buffer_;  // guarded by mutex_
  bool lost_ = false;           // guarded by mutex_
  std::string lostReason_;      // guarded by mutex_
};

}  // namespace halvane::driver::sdr

#endif
