#include "sdr/sources/soapy_source.h"

#include <SoapySDR/Device.hpp>
#include <SoapySDR/Errors.hpp>
#include <SoapySDR/Formats.hpp>
#include <chrono>
#include <exception>

#include "last_reason.h"
#include "result_codes.h"
#include "sdr/broadcast.h"
#include "sdr/sources/am_access.h"

namespace halvane::driver::sdr {
namespace {

constexpr long kReadTimeoutUs = 100'000;
// No samples for this long: the device is gone.
constexpr int kTimeoutsUntilLost = 20;
// A search waits at most this long for a channel's samples.
constexpr auto kReadNowTimeout = std::chrono::milliseconds(1000);
// After retuning, the tuner's synthesiser settles: samples of this long are dropped.
constexpr int64_t kSettleMs = 10;

int32_t Fail(int32_t code, std::string reason) {
  SetLastReason(std::move(reason));
  return code;
}

}  // namespace

SoapySource::SoapySource(const SdrConfig& config) : config_(config), rate_(config.rate) {}

SoapySource::~SoapySource() { Close(); }

int32_t SoapySource::Open(int64_t) {
  Close();
  try {
    device_ = SoapySDR::Device::make(config_.device);
  } catch (const std::exception& e) {
    device_ = nullptr;
    return Fail(kSdrNoDevice, "no SoapySDR device answers to \"" + config_.device +
                                  "\": is it plugged in, and its SoapySDR module installed "
                                  "(soapysdr-module-rtlsdr for RTL-SDR dongles)? (" +
                                  e.what() + ")");
  }
  if (device_ == nullptr) {
    return Fail(kSdrNoDevice, "no SoapySDR device answers to \"" + config_.device + "\"");
  }
  try {
    device_->setSampleRate(SOAPY_SDR_RX, 0, config_.rate);
    rate_ = device_->getSampleRate(SOAPY_SDR_RX, 0);
    if (rate_ < kMinimumSampleRate) {
      const double got = rate_;
      Close();
      return Fail(kSampleRateTooLow, "the device runs at " + std::to_string(std::lround(got)) +
                                         " samples a second, too few for FM broadcast: at "
                                         "least " +
                                         std::to_string(kMinimumSampleRate) + " are needed");
    }
    if (config_.gainDb) {
      device_->setGainMode(SOAPY_SDR_RX, 0, false);
      device_->setGain(SOAPY_SDR_RX, 0, *config_.gainDb);
    } else {
      device_->setGainMode(SOAPY_SDR_RX, 0, true);
    }
    if (config_.ppm != 0) device_->setFrequencyCorrection(SOAPY_SDR_RX, 0, config_.ppm);
    // RTL-SDR's module names its direct sampling so: 0 off, 1 the I branch, 2 the Q branch.
    offersDirectSampling_ = false;
    for (const SoapySDR::ArgInfo& setting : device_->getSettingInfo()) {
      if (setting.key == "direct_samp") offersDirectSampling_ = true;
    }
    directSampling_ = false;
    stream_ = device_->setupStream(SOAPY_SDR_RX, SOAPY_SDR_CF32);
    if (device_->activateStream(stream_) != 0) throw std::runtime_error("stream not started");
  } catch (const std::exception& e) {
    Close();
    return Fail(kSdrDeviceError,
                "the SoapySDR device \"" + config_.device + "\" refused its settings: " + e.what());
  }
  loOffsetHz_ = CentreOffsetHz(rate_);
  {
    std::lock_guard lock(mutex_);
    buffer_.clear();
    lost_ = false;
  }
  running_ = true;
  reader_ = std::thread(&SoapySource::ReadLoop, this);
  return kOk;
}

void SoapySource::Close() {
  running_ = false;
  if (reader_.joinable()) reader_.join();
  if (device_ != nullptr) {
    try {
      if (stream_ != nullptr) {
        device_->deactivateStream(stream_);
        device_->closeStream(stream_);
      }
      SoapySDR::Device::unmake(device_);
    } catch (const std::exception&) {
      // A device that is already gone cannot be closed any further.
    }
  }
  stream_ = nullptr;
  device_ = nullptr;
}

void SoapySource::ReadLoop() {
  std::vector<Complex> chunk(16384);
  int timeouts = 0;
  const auto capacity = static_cast<size_t>(rate_ * kMaxBacklogMs / 1000);
  while (running_) {
    void* buffers[] = {chunk.data()};
    int flags = 0;
    long long timeNs = 0;
    int got = 0;
    try {
      got = device_->readStream(stream_, buffers, chunk.size(), flags, timeNs, kReadTimeoutUs);
    } catch (const std::exception&) {
      got = SOAPY_SDR_STREAM_ERROR;
    }
    if (got == SOAPY_SDR_OVERFLOW) continue;  // samples dropped; the stream goes on
    if (got == SOAPY_SDR_TIMEOUT && ++timeouts < kTimeoutsUntilLost) continue;
    std::lock_guard lock(mutex_);
    if (got < 0) {
      lost_ = true;
      lostReason_ = got == SOAPY_SDR_TIMEOUT ? "delivers no more samples"
                                             : std::string("failed: ") + SoapySDR::errToStr(got);
      arrived_.notify_all();
      return;
    }
    timeouts = 0;
    buffer_.insert(buffer_.end(), chunk.begin(), chunk.begin() + got);
    if (buffer_.size() > capacity) {
      buffer_.erase(buffer_.begin(),
                    buffer_.begin() + static_cast<ptrdiff_t>(buffer_.size() - capacity));
    }
    arrived_.notify_all();
  }
}

int32_t SoapySource::Lost() {
  return Fail(kSdrDeviceLost, "the SoapySDR device \"" + config_.device + "\" " + lostReason_ +
                                  " (unplugged?); stop and start the radio to reopen it");
}

bool SoapySource::TunerReaches(int64_t frequencyHz) const {
  try {
    const auto hz = static_cast<double>(frequencyHz);
    for (const SoapySDR::Range& range : device_->getFrequencyRange(SOAPY_SDR_RX, 0)) {
      if (range.minimum() <= hz && hz <= range.maximum()) return true;
    }
  } catch (const std::exception&) {
    // A device that cannot say is taken not to reach it.
  }
  return false;
}

int32_t SoapySource::Tune(int64_t frequencyHz, int64_t, std::optional<double>& offsetHz) {
  if (device_ == nullptr) return Lost();
  const std::optional<DeviceTuning> tuning = DeviceTuningFor(
      frequencyHz, config_.upconverterHz, offersDirectSampling_, TunerReaches(frequencyHz));
  if (!tuning) return NoAm("the SoapySDR device \"" + config_.device + "\"");
  try {
    if (tuning->directSampling != directSampling_) {
      device_->writeSetting("direct_samp", tuning->directSampling ? "2" : "0");
      directSampling_ = tuning->directSampling;
    }
    device_->setFrequency(SOAPY_SDR_RX, 0, static_cast<double>(tuning->deviceHz) + loOffsetHz_);
  } catch (const std::exception& e) {
    return Fail(kSdrDeviceError, "the SoapySDR device \"" + config_.device + "\" cannot tune to " +
                                     std::to_string(frequencyHz) + " Hz: " + e.what());
  }
  std::lock_guard lock(mutex_);
  if (lost_) return Lost();
  buffer_.clear();
  offsetHz = -loOffsetHz_;
  return kOk;
}

int32_t SoapySource::ReadDue(int64_t, std::vector<Complex>& out) {
  std::lock_guard lock(mutex_);
  if (lost_) return Lost();
  out.insert(out.end(), buffer_.begin(), buffer_.end());
  buffer_.clear();
  return kOk;
}

int32_t SoapySource::ReadNow(size_t count, std::vector<Complex>& out) {
  const auto settle = static_cast<size_t>(rate_ * kSettleMs / 1000);
  std::unique_lock lock(mutex_);
  buffer_.clear();
  const bool ready = arrived_.wait_for(lock, kReadNowTimeout,
                                       [&] { return lost_ || buffer_.size() >= settle + count; });
  if (lost_) return Lost();
  if (!ready) {
    lost_ = true;
    lostReason_ = "delivers no samples";
    return Lost();
  }
  const auto first = buffer_.begin() + static_cast<ptrdiff_t>(settle);
  out.insert(out.end(), first, first + static_cast<ptrdiff_t>(count));
  buffer_.clear();
  return kOk;
}

}  // namespace halvane::driver::sdr
