// What a station broadcasts: a programme made on the fly, never recorded material. Music in the
// style of the station's programme type played by a General MIDI synthesiser, speech read by a
// speech synthesiser from the station's own texts, or a test tone for measurements. The
// simulated tuner plays it as the listener hears it; the SDR's transmitter model modulates it.
#ifndef HALVANE_DRIVER_PROGRAMME_PROGRAMME_H
#define HALVANE_DRIVER_PROGRAMME_PROGRAMME_H

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace halvane::driver::programme {

// Every programme is made at 48 kHz, two channels, float samples in [-1, 1], interleaved left
// then right: the sound output's own format.
inline constexpr int kRate = 48000;

enum class Kind { kMusic, kSpeech, kTone };

enum class Style { kPop, kRock, kJazz, kClassical, kCountry, kOldies, kSoul };

struct Tone {
  double hz = 1000;
  bool left = true;
  bool right = true;
  double level = 0.5;  // peak, 1.0 full scale
};

struct Options {
  Kind kind = Kind::kMusic;
  Style style = Style::kPop;
  bool stereo = true;  // a mono station sends both channels alike
  uint64_t seed = 1;   // the station's own music and voice
  // Seconds since the programme went on the air: music starts in the bar then playing, so two
  // transmitters of one programme play the same tune.
  double airS = 0;
  std::string name;                // the station's name, UTF-8
  std::vector<std::string> texts;  // what speech reads, UTF-8
  std::string trafficText;         // what a traffic announcement says
  Tone tone;
};

class Programme {
 public:
  virtual ~Programme() = default;
  // The next frames of the programme.
  virtual void Render(std::span<float> interleaved) = 0;
  // From the next frame on the station's traffic announcement runs (the programme gives way to
  // the traffic news) or is over (the programme comes back where it has got to).
  virtual void SetAnnouncement(bool on) = 0;
};

// The programme `options` describe. It never fails: where the synthesiser it needs is missing
// (no soundfont, no speech data) it plays silence, and the driver's last reason says why.
std::unique_ptr<Programme> MakeProgramme(const Options& options);

}  // namespace halvane::driver::programme

#endif
