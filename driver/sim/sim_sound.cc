#include "sim/sim_sound.h"

#include <algorithm>
#include <cmath>

#include "frequency.h"
#include "programme/station_programme.h"
#include "sim/prng.h"

namespace halvane::driver::sim {
namespace {

constexpr int64_t kFramesPerMs = audio::kSampleRate / 1000;
// On a running clock a late call plays only this much: what came before nobody heard.
constexpr uint64_t kMaxBacklogFrames = 500 * kFramesPerMs;
constexpr size_t kBlockFrames = 960;  // 20 ms
// Coming on or off the air, and a check's mute, ramp over 2.5 ms: no click, and a 12 ms check
// is still a mute.
constexpr float kReceptionStep = 4.0f / audio::kRampFrames;
// One-pole low-passes: the hiss's top near 8 kHz, an AM receiver's audio near 4 kHz.
constexpr float kHissPole = 0.65f;
constexpr float kAmPole = 0.41f;
// Hiss while stereo is decoded: the difference channel's noise is far stronger than the sum's.
constexpr double kStereoHissFactor = 3.0;

uint64_t KeyOf(const band::Station& station) {
  return station.programme ? 0x10000u + station.programme->pi
                           : static_cast<uint64_t>(station.frequency);
}

}  // namespace

double HissRms(int level) { return std::pow(10.0, (-80.0 + 4.0 * level) / 20); }

double StereoWidth(int level) { return std::clamp((10.0 - level) / 5.0, 0.0, 1.0); }

SimSound::SimSound(OpenAudio openAudio) : openAudio_(std::move(openAudio)) {}

void SimSound::Open(int64_t nowMs, int64_t airFromMs, bool mute) {
  openedMs_ = nowMs;
  airFromMs_ = airFromMs;
  frames_ = 0;
  silences_.clear();
  reception_ = 0;
  programme_.reset();
  programmeKey_ = 0;
  title_.clear();
  if (!sink_) sink_ = openAudio_();
  // Without a sound server there is nothing to make the programme for.
  if (dynamic_cast<audio::NullAudioSink*>(sink_.get()) != nullptr) sink_.reset();
  stage_.SetMute(mute);
  stage_.Reset();
}

void SimSound::Close() {
  sink_.reset();  // the stream leaves the desktop's mixer while the radio is off
  programme_.reset();
}

void SimSound::SetTitle(const std::string& title) {
  if (sink_ == nullptr || title == title_) return;
  title_ = title;
  sink_->SetTitle(title);
}

void SimSound::Silence(int64_t fromMs, int64_t ms) {
  if (sink_ == nullptr || ms <= 0) return;
  const auto from = (fromMs - openedMs_) * kFramesPerMs;
  silences_.emplace_back(from, from + ms * kFramesPerMs);
}

bool SimSound::Silenced(int64_t frame) const {
  return std::any_of(silences_.begin(), silences_.end(), [frame](const auto& silence) {
    return frame >= silence.first && frame < silence.second;
  });
}

void SimSound::Follow(const Heard& heard) {
  if (heard.station == nullptr) return;  // the programme goes on where it was when it is back
  const uint64_t key = KeyOf(*heard.station);
  if (!programme_ || key != programmeKey_) {
    // On the air since the band came on, to the frame it is first heard at.
    const double airS = static_cast<double>(openedMs_ - airFromMs_) / 1000 +
                        static_cast<double>(frames_) / audio::kSampleRate;
    programme_ = programme::MakeProgramme(programme::ProgrammeFor(*heard.station, airS));
    programmeKey_ = key;
  }
  programme_->SetAnnouncement(heard.announcement);
}

void SimSound::PlayUntil(int64_t nowMs, const Heard& heard) {
  if (sink_ == nullptr || nowMs < openedMs_) return;
  const auto target = static_cast<uint64_t>((nowMs - openedMs_) * kFramesPerMs);
  if (target <= frames_) return;
  if (target - frames_ > kMaxBacklogFrames) frames_ = target - kMaxBacklogFrames;
  Follow(heard);
  while (frames_ < target) {
    const size_t count = std::min<uint64_t>(kBlockFrames, target - frames_);
    block_.assign(count * audio::kChannels, 0.0f);
    const bool audible = heard.station != nullptr || reception_ > 0;
    if (programme_ && audible) programme_->Render(block_);
    Degrade(block_, heard, frames_);
    stage_.Play(block_, *sink_);
    frames_ += count;
  }
  std::erase_if(silences_, [this](const auto& silence) {
    return silence.second <= static_cast<int64_t>(frames_);
  });
}

void SimSound::Degrade(std::span<float> block, const Heard& heard, uint64_t firstFrame) {
  const int level = heard.station != nullptr ? heard.level : band::kNoStationLevel;
  const auto width = static_cast<float>(StereoWidth(level));
  // A uniform draw has an RMS of 1/sqrt(3); the low-pass keeps a / (2 - a) of its power.
  const auto hiss =
      static_cast<float>(HissRms(level) * std::sqrt(3.0 * (2 - kHissPole) / kHissPole));
  const auto sideHiss = static_cast<float>(hiss * kStereoHissFactor * width);
  const bool am = heard.station != nullptr && Frequency(heard.station->frequency).IsAm();
  const auto uniform = [this] {
    return static_cast<float>(Mix64(noiseState_++) >> 40) * 0x1.0p-23f - 1.0f;
  };
  for (size_t i = 0; i + 1 < block.size(); i += 2) {
    const auto frame = static_cast<int64_t>(firstFrame + i / 2);
    const float target = heard.station != nullptr && !Silenced(frame) ? 1.0f : 0.0f;
    reception_ = reception_ < target ? std::min(target, reception_ + kReceptionStep)
                                     : std::max(target, reception_ - kReceptionStep);
    if (reception_ == 0) {
      block[i] = block[i + 1] = 0;
      continue;
    }
    hissMid_ += kHissPole * (uniform() - hissMid_);
    hissSide_ += kHissPole * (uniform() - hissSide_);
    const float mid = (block[i] + block[i + 1]) / 2 + hiss * hissMid_;
    const float side = (block[i] - block[i + 1]) / 2 * width + sideHiss * hissSide_;
    float left = mid + side;
    float right = mid - side;
    if (am) {
      // An AM receiver passes the sum alone, through its narrow audio filter.
      amAudio_ += kAmPole * (mid - amAudio_);
      left = right = amAudio_;
    }
    block[i] = std::clamp(left * reception_, -1.0f, 1.0f);
    block[i + 1] = std::clamp(right * reception_, -1.0f, 1.0f);
  }
}

}  // namespace halvane::driver::sim
