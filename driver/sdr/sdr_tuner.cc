#include "sdr/sdr_tuner.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "audio/playthrough_tuner.h"
#include "frequency.h"
#include "last_reason.h"
#include "rds/extended_report.h"
#include "rds/record_writer.h"
#include "result_codes.h"
#include "sdr/am_band.h"
#include "sdr/broadcast.h"
#include "sdr/reception_report.h"

namespace halvane::driver::sdr {
namespace {

constexpr int kNoStation = 15;

std::string RateTooLow(int32_t rate) {
  return "rate = " + std::to_string(rate) + " is too low for FM broadcast: at least " +
         std::to_string(kMinimumSampleRate) + " samples a second are needed";
}

// What the source tunes for the plug-in's value: hertz on the air.
int64_t AirHertz(int32_t frequency) { return Frequency(frequency).Hertz(); }

}  // namespace

SdrTuner::SdrTuner(const DriverClock& clock, SdrConfig config, int seekThreshold,
                   SdrTunerParts parts, bool followAlternatives)
    : clock_(clock),
      config_(std::move(config)),
      seekThreshold_(seekThreshold),
      parts_(std::move(parts)),
      // A search's checks wait on the source in real time, whatever the driver's clock does.
      follower_(parts_.wallMs) {
  follower_.SetEnabled(followAlternatives);
}

SdrTuner::~SdrTuner() {
  if (source_) source_->Close();
}

int32_t SdrTuner::Initialize() {
  if (config_.rate < kMinimumSampleRate) {
    SetLastReason(RateTooLow(config_.rate));
    return kSampleRateTooLow;
  }
  ClearLastReason();  // what opening the sound says stays for the caller
  if (source_) source_->Close();
  source_ = parts_.makeSource();
  const int64_t now = clock_.NowMs();
  if (const int32_t code = source_->Open(now); code != kOk) {
    source_.reset();
    initialized_ = false;
    return code;
  }
  const ReceiverOptions options{
      source_->SampleRate(),
      config_.deemphasisUs,
      {config_.blend, config_.highCut, config_.softMute, config_.equaliser}};
  receiver_ = std::make_unique<Receiver>(options);
  watch_ = std::make_unique<AfWatch>(options);
  probe_ = std::make_unique<Receiver>(options);
  am_ = std::make_unique<AmReceiver>(source_->SampleRate());
  if (!audio_) audio_ = std::make_unique<AudioPath>(parts_.openAudio());
  audio_->Jump(muted_);
  audio_->SetMono(mono_);
  audio_->SetVolume(volume_);
  initialized_ = true;
  failed_ = 0;
  rdsOn_ = false;
  if (const int32_t code = Tune(frequency_); code != kOk) return Fail(code);
  return kOk;
}

int32_t SdrTuner::Uninitialize() {
  if (!initialized_) return kNotInitialized;
  initialized_ = false;
  failed_ = 0;
  if (source_) source_->Close();
  source_.reset();
  audio_.reset();  // the stream leaves the desktop's mixer while the radio is off
  return kOk;
}

int32_t SdrTuner::Fail(int32_t code) {
  // A device that reaches no AM has refused a band, and goes on with the other.
  if (code == kSdrNoAm || (source_ && source_->Reconnects())) return code;
  failed_ = code;
  failedReason_ = std::string(LastReason());
  return code;
}

int32_t SdrTuner::Ready() {
  if (!initialized_) return kNotInitialized;
  if (failed_ != 0) {
    SetLastReason(failedReason_);
    return failed_;
  }
  return Pump();
}

int32_t SdrTuner::Pump() {
  const int64_t now = clock_.NowMs();
  if (clock_.manual()) {
    for (int64_t step = pumpedMs_ + kPumpStepMs; step < now; step += kPumpStepMs) {
      if (const int32_t code = PumpUntil(step); code != kOk) return code;
    }
  }
  return PumpUntil(now);
}

int32_t SdrTuner::PumpUntil(int64_t nowMs) {
  pumpedMs_ = std::max(pumpedMs_, nowMs);
  iq_.clear();
  const uint64_t gapsBefore = source_->StreamGaps();
  if (const int32_t code = source_->ReadDue(nowMs, iq_); code != kOk) return Fail(code);
  if (source_->StreamGaps() != gapsBefore) {
    receiver_->Interrupt();
    am_->Interrupt();
  }
  if (!reachable_ || iq_.empty()) return kOk;
  sound_.clear();
  if (OnAm()) {
    am_->Process(iq_, sound_);
  } else {
    receiver_->Process(iq_, nowMs, rdsOn_, sound_);
    watch_->Process(iq_, nowMs);
  }
  audio_->Play(sound_);
  return kOk;
}

int32_t SdrTuner::Tune(int32_t frequency) {
  const int32_t previous = frequency_;
  frequency_ = frequency;
  std::optional<double> offset;
  pumpedMs_ = clock_.NowMs();
  if (const int32_t code = source_->Tune(AirHertz(frequency), pumpedMs_, offset); code != kOk) {
    // A refused band leaves the source where it was.
    if (code == kSdrNoAm) frequency_ = previous;
    return code;
  }
  reachable_ = offset.has_value();
  receiver_->Tune(offset.value_or(0));
  am_->Tune(offset.value_or(0));
  centreHz_ = frequency - static_cast<int64_t>(std::llround(offset.value_or(0)));
  watch_->Watch({});
  audio_->SetTitle(audio::FrequencyTitle(frequency));
  return kOk;
}

int32_t SdrTuner::SetMute(bool mute) {
  if (const int32_t code = Ready(); code != kOk) return code;
  muted_ = mute;
  audio_->SetMute(mute);
  return kOk;
}

void SdrTuner::SetVolume(float gain) {
  volume_ = gain;
  if (audio_) audio_->SetVolume(gain);
}

int32_t SdrTuner::SetForceMono(bool mono) {
  if (const int32_t code = Ready(); code != kOk) return code;
  mono_ = mono;
  audio_->SetMono(mono);
  return kOk;
}

int32_t SdrTuner::SetFrequency(int32_t frequency) {
  if (const int32_t code = Ready(); code != kOk) return code;
  follower_.Tuned(clock_.NowMs());
  traffic_.Tuned();
  const bool am = Frequency(frequency).IsAm();
  const int32_t channel = am ? AmChannel(frequency) : SnapToRaster(frequency);
  if (const int32_t code = Tune(channel); code != kOk) return Fail(code);
  return kOk;
}

int32_t SdrTuner::GetFrequency(int32_t& frequency) {
  if (const int32_t code = Ready(); code != kOk) return code;
  frequency = frequency_;
  return kOk;
}

bool SdrTuner::OnAm() const { return Frequency(frequency_).IsAm(); }

int SdrTuner::TunedLevel(int64_t nowMs) const {
  if (!reachable_) return kNoStation;
  return OnAm() ? am_->Level() : receiver_->Level(nowMs);
}

int32_t SdrTuner::StartRds() {
  if (const int32_t code = Ready(); code != kOk) return code;
  rdsOn_ = true;
  return kOk;
}

int32_t SdrTuner::StopRds() {
  if (const int32_t code = Ready(); code != kOk) return code;
  rdsOn_ = false;
  return kOk;
}

int32_t SdrTuner::GetState(uint8_t& flags) {
  if (const int32_t code = Ready(); code != kOk) return code;
  const std::optional<double> cnr =
      OnAm() ? am_->CarrierToNoiseDb() : receiver_->CarrierToNoiseDb();
  const bool station = reachable_ && LevelForCnr(cnr) < kNoStation;
  const bool stereo = station && !OnAm() && receiver_->PilotLocked() && !mono_;
  flags = (station ? kStateStation : 0) | (stereo ? kStateStereo : 0) | (muted_ ? kStateMuted : 0) |
          (mono_ ? kStateMonoForced : 0);
  return kOk;
}

int32_t SdrTuner::GetDecoderState(uint32_t& state) {
  if (const int32_t code = Ready(); code != kOk) return code;
  const int64_t now = clock_.NowMs();
  // AM stations carry no RDS: there is no programme to follow.
  if (!OnAm()) {
    if (const int32_t code = Follow(now); code != kOk) return Fail(code);
  }
  const int level = rdsOn_ ? TunedLevel(now) : kNoStation;
  state = DecoderStateWord(static_cast<uint32_t>(level),
                           receiver_->monitor().DamagedBlocksInLastSecond(now));
  return kOk;
}

int32_t SdrTuner::ExtendedRds(std::string& report) {
  if (const int32_t code = Ready(); code != kOk) return code;
  report = rdsOn_ ? rds::MonitorReport(receiver_->monitor(), frequency_) : std::string();
  if (!report.empty()) report += rds::FollowReport(follower_.statistics());
  if (reachable_ && !OnAm()) report += ReceptionReport(receiver_->reception());
  return kOk;
}

int32_t SdrTuner::EvalData(RdsRecord& record) {
  if (const int32_t code = Ready(); code != kOk) return code;
  if (!rdsOn_) return kRdsStopped;
  const rds::RdsMonitor& monitor = receiver_->monitor();
  if (!monitor.decoder().HasData()) return kRdsNoData;
  if (!monitor.HasFreshData(clock_.NowMs())) return kRdsStale;
  record = rds::MakeRecord(monitor.decoder().data());
  const std::string name = audio::StationNameTitle(record.ps);
  if (!name.empty()) audio_->SetTitle(name);
  return kOk;
}

}  // namespace halvane::driver::sdr
