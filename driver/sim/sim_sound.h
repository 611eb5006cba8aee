// What the simulated tuner sounds like: the tuned station's programme as a receiver passes it on
// at the station's level, through the driver's programme stage (volume, mute, forced mono) to
// the sound output. As the level falls, hiss rises and the stereo narrows (a receiver's blend);
// off the air there is silence; a check of an alternative frequency is a short mute, as on
// hardware. A programme is kept by its PI, so a move to another transmitter of the same
// programme goes on with it without a jump.
#ifndef HALVANE_DRIVER_SIM_SIM_SOUND_H
#define HALVANE_DRIVER_SIM_SIM_SOUND_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_sink.h"
#include "audio/programme_stage.h"
#include "band/station.h"
#include "programme/programme.h"

namespace halvane::driver::sim {

// What reaches the tuner's audio at a moment.
struct Heard {
  const band::Station* station = nullptr;  // none: off the air
  int level = band::kNoStationLevel;
  bool announcement = false;  // the station's traffic announcement runs
};

// The hiss at `level`, as the root-mean-square of each channel (full scale 1): inaudible on a
// strong station (-80 dB), 4 dB more a level down.
double HissRms(int level);
// The stereo width a receiver keeps at `level`: whole to level 5, none from level 10 on.
double StereoWidth(int level);

class SimSound {
 public:
  using OpenAudio = std::function<std::unique_ptr<audio::AudioSink>()>;
  explicit SimSound(OpenAudio openAudio);

  // The sink opens at `nowMs`, muted or not at once; `airFromMs` is when the band went on the
  // air (a programme started later starts in the bar then playing). Without a sound server
  // nothing is made at all.
  void Open(int64_t nowMs, int64_t airFromMs, bool mute);
  void Close();
  bool open() const { return sink_ != nullptr; }

  void SetMute(bool mute) { stage_.SetMute(mute, mute); }
  void SetMono(bool mono) { stage_.SetMono(mono); }
  void SetVolume(float gain) { stage_.SetVolume(gain); }
  // The stream's name in the desktop's mixer; a title already shown is not sent again.
  void SetTitle(const std::string& title);

  // Plays from where the sound stands to `nowMs` what `heard` says (on a running clock, at most
  // the last 500 ms of it: nobody heard what came before).
  void PlayUntil(int64_t nowMs, const Heard& heard);
  // The listener hears nothing for `ms` from `fromMs` on: a check of another frequency.
  void Silence(int64_t fromMs, int64_t ms);

  // Frames written to the sink since Open.
  uint64_t frames() const { return frames_; }

 private:
  void Follow(const Heard& heard);
  bool Silenced(int64_t frame) const;
  void Degrade(std::span<float> block, const Heard& heard, uint64_t firstFrame);

  OpenAudio openAudio_;
  std::unique_ptr<audio::AudioSink> sink_;
  audio::ProgrammeStage stage_;
  std::string title_;
  int64_t openedMs_ = 0;
  int64_t airFromMs_ = 0;
  uint64_t frames_ = 0;
  std::unique_ptr<programme::Programme> programme_;
  uint64_t programmeKey_ = 0;  // the PI, or the frequency of a station without one
  std::vector<std::pair<int64_t, int64_t>> silences_;  // frames [from, to) nobody hears
  float reception_ = 0;  // the ramp in and out of the air and the checks' mutes
  uint64_t noiseState_ = 0x5eed;
  float hissMid_ = 0;  // the hiss, low-passed, in the sum and the difference
  float hissSide_ = 0;
  float amAudio_ = 0;  // an AM receiver's narrow audio low-pass
  std::vector<float> block_;
};

}  // namespace halvane::driver::sim

#endif
