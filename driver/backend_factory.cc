#include "backend_factory.h"

#include <chrono>

#include "audio/playthrough_tuner.h"
#include "band/band_loader.h"
#include "last_reason.h"
#include "result_codes.h"
#include "sdr/sdr_tuner.h"
#include "sdr/sources/file_source.h"
#include "sdr/sources/rtl_tcp_source.h"
#include "sdr/sources/soapy_source.h"
#include "sdr/sources/synthetic_source.h"
#include "sim/sim_tuner.h"
#include "v4l2/linux_radio_device.h"
#include "v4l2/v4l2_tuner.h"

namespace halvane::driver {
namespace {

// Stands in when the configuration is unusable: initialising reports the configuration's fault,
// everything else finds the tuner not initialised.
class UnconfiguredTuner final : public TunerBackend {
 public:
  UnconfiguredTuner(int32_t code, std::string reason) : code_(code), reason_(std::move(reason)) {}
  int32_t Initialize() override {
    SetLastReason(reason_);
    return code_;
  }
  int32_t Uninitialize() override { return kNotInitialized; }
  int32_t SetMute(bool) override { return kNotInitialized; }
  int32_t SetForceMono(bool) override { return kNotInitialized; }
  int32_t SetFrequency(int32_t) override { return kNotInitialized; }
  int32_t GetFrequency(int32_t&) override { return kNotInitialized; }
  int32_t Search(int32_t&, bool) override { return kNotInitialized; }
  int32_t StartRds() override { return kNotInitialized; }
  int32_t StopRds() override { return kNotInitialized; }
  int32_t GetState(uint8_t&) override { return kNotInitialized; }
  int32_t GetDecoderState(uint32_t&) override { return kNotInitialized; }
  int32_t EvalData(RdsRecord&) override { return kNotInitialized; }

 private:
  int32_t code_;
  std::string reason_;
};

}  // namespace

namespace {

std::unique_ptr<TunerBackend> MakeTuner(const BackendConfigLoad& load, const DriverClock& clock) {
  if (load.errorCode != 0) return std::make_unique<UnconfiguredTuner>(load.errorCode, load.message);
  const BackendConfig& config = load.config;
  if (config.kind == BackendConfig::Kind::V4l2) {
    auto device =
        std::make_unique<v4l2::LinuxRadioDevice>(std::chrono::milliseconds(config.settleMs));
    auto tuner = std::make_unique<v4l2::V4l2Tuner>(
        std::move(device),
        v4l2::V4l2Options{config.device, config.seekThreshold, config.followAlternatives}, clock);
    if (config.audio.empty()) return tuner;
    audio::PlaythroughOptions sound;
    sound.capture = config.audio;
    sound.radioDevice = config.device;
    sound.tunerMutes = [v4l2Tuner = tuner.get()] { return v4l2Tuner->HasMuteControl(); };
    return std::make_unique<audio::PlaythroughTuner>(std::move(tuner), std::move(sound));
  }
  if (config.kind == BackendConfig::Kind::Sdr) {
    const sdr::SdrConfig& sdrConfig = config.sdr;
    sdr::SdrTunerParts parts;
    parts.makeSource = [sdrConfig]() -> std::unique_ptr<sdr::IqSource> {
      if (sdrConfig.IsSynthetic()) {
        return std::make_unique<sdr::SyntheticSource>(sdrConfig, band::LoadBand);
      }
      if (sdrConfig.IsFile()) {
        return std::make_unique<sdr::FileSource>(sdrConfig.FilePath(), sdrConfig.format,
                                                 sdrConfig.rate, sdrConfig.centerHz.value_or(0));
      }
      if (sdrConfig.IsRtlTcp()) {
        // The configuration's check has read the address already.
        std::string why;
        const std::optional<sdr::NetworkAddress> address =
            sdr::ParseNetworkAddress(sdrConfig.RtlTcpServer(), why);
        return std::make_unique<sdr::RtlTcpSource>(sdrConfig,
                                                   address.value_or(sdr::NetworkAddress{}));
      }
      return std::make_unique<sdr::SoapySource>(sdrConfig);
    };
    return std::make_unique<sdr::SdrTuner>(clock, sdrConfig, config.seekThreshold, std::move(parts),
                                           config.followAlternatives);
  }
  return std::make_unique<sim::SimTuner>(clock, band::LoadBand, config.followAlternatives);
}

}  // namespace

std::unique_ptr<TunerBackend> MakeBackend(const BackendConfigLoad& load, const DriverClock& clock) {
  std::unique_ptr<TunerBackend> tuner = MakeTuner(load, clock);
  tuner->SetTraffic(load.config.traffic);
  return tuner;
}

}  // namespace halvane::driver
