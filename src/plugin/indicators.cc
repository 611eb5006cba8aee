// ReturnIndicatorEx and ReturnSlider: the skin's indicators ("True"/"False", or a picture path)
// and its one slider. Only "stereo" asks the driver; the rest read state the status poll keeps.
#include <array>

#include "plugin/dm_radio.h"
#include "plugin/skin_keywords.h"
#include "plugin/skin_values.h"
#include "runtime/text_file.h"

namespace halvane {
namespace {

using skin::BoolText;
using skin::SliderKeyword;
using skin::TextKeyword;

ModRadio& Tuner(DMRadio& r) { return r.component().radio(); }

std::string Stereo(DMRadio& r) { return BoolText(Tuner(r).IsStereo()); }
std::string ForcedMono(DMRadio& r) { return BoolText(Tuner(r).mono()); }
std::string Fm(DMRadio& r) { return BoolText(skin::IsFm(Tuner(r).currentFreq())); }
std::string Muted(DMRadio& r) { return BoolText(Tuner(r).muted()); }
std::string TrafficAnnouncement(DMRadio& r) { return BoolText(Tuner(r).RdsTA()); }
std::string TrafficProgramme(DMRadio& r) { return BoolText(Tuner(r).RdsTP()); }
// A traffic announcement now: the station's own, or one of a linked programme it tells of.
std::string TrafficNow(DMRadio& r) {
  ModRadio& tuner = Tuner(r);
  return BoolText((tuner.RdsTP() && tuner.RdsTA()) || tuner.RdsExtra("eon.traffic") == "1");
}
std::string MusicSpeech(DMRadio& r) { return BoolText(Tuner(r).RdsMS()); }
std::string Artwork(DMRadio& r) { return r.GetArtwork(); }
std::string PresetMode(DMRadio& r) { return BoolText(r.PresetMode()); }
std::string SeekMode(DMRadio& r) { return BoolText(r.SeekMode()); }
std::string LocalMode(DMRadio& r) { return BoolText(r.LocalMode()); }
std::string Scanning(DMRadio& r) { return BoolText(r.SearchMode() == SModes::Scan); }
std::string Surfing(DMRadio& r) { return BoolText(r.SearchMode() == SModes::Surf); }
std::string Learning(DMRadio& r) { return BoolText(r.SearchMode() == SModes::PresetLearn); }

// The skin's picture of the mute state: "muted" or "unmuted" directly after the skin folder, as
// ".png" or else ".gif"; "" when the skin has neither. A failing host call fails the query.
std::string MutePicture(DMRadio& r) {
  std::string base = host::GetUserVar(r.component().context().Sdk(), "skinpath");
  base += Tuner(r).muted() ? "muted" : "unmuted";
  for (const char* extension : {".png", ".gif"}) {
    std::string candidate = base + extension;
    if (IsRegularFile(candidate)) return candidate;
  }
  return {};
}

int32_t Signal(DMRadio& r) { return Tuner(r).SignalLevel(); }

constexpr std::array<TextKeyword, 15> kIndicators{{
    {"stereo", Stereo},
    {"mono", ForcedMono},
    {"fmam", Fm},
    {"radiomute", Muted},
    {"rdsta", TrafficAnnouncement},
    {"rdstp", TrafficProgramme},
    {"rdsms", MusicSpeech},
    {"rdstraffic", TrafficNow},
    {"radioart", Artwork},
    {"presetmode", PresetMode},
    {"seekmode", SeekMode},
    {"local", LocalMode},
    {"scan", Scanning},
    {"surf", Surfing},
    {"searchpresets", Learning},
}};

constexpr std::array<TextKeyword, 1> kActiveIndicators{{
    {"status", MutePicture},
}};

constexpr std::array<SliderKeyword, 1> kSliders{{
    {"rsignal", Signal},
}};

}  // namespace

namespace skin {
std::span<const TextKeyword> Indicators() { return kIndicators; }
std::span<const TextKeyword> ActiveIndicators() { return kActiveIndicators; }
std::span<const SliderKeyword> Sliders() { return kSliders; }
}  // namespace skin

// IND is never changed.
std::string DMRadio::ReturnIndicatorEx(std::string& IND) {
  const skin::LoweredKeyword key(IND);
  std::string result;
  if (const auto* indicator = skin::Find(skin::Indicators(), key.view()))
    result = indicator->text(*this);
  if (!IsActive()) return result;
  if (const auto* indicator = skin::Find(skin::ActiveIndicators(), key.view()))
    result = indicator->text(*this);
  return result;
}

int32_t DMRadio::ReturnSlider(std::string& SLD) {
  const skin::LoweredKeyword key(SLD);
  const auto* slider = skin::Find(skin::Sliders(), key.view());
  return slider != nullptr ? slider->value(*this) : -1;
}

}  // namespace halvane
