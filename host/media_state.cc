#include "media_state.h"

#include <glib.h>

#include <memory>
#include <optional>

#include "halvane/errors.h"

namespace host {
namespace {

std::string Label(halvane::IDMRadio& radio, const char* keyword) {
  std::string lbl = keyword, fmt;
  return radio.ReturnLabel(lbl, fmt);
}

std::string FileUri(const std::string& path) {
  if (path.empty() || path[0] != '/') return {};
  std::unique_ptr<char, decltype(&g_free)> uri(g_filename_to_uri(path.c_str(), nullptr, nullptr),
                                               &g_free);
  return uri ? uri.get() : "";
}

}  // namespace

void DescribeStation(const StationTexts& texts, MediaState& state) {
  std::string rdsName = CleanStationText(texts.rdsName);
  state.artist = rdsName.empty() ? CleanStationText(texts.presetName) : rdsName;
  state.album = FrequencyWithUnit(texts.frequency, texts.unit);
  std::string rdsText = CleanStationText(texts.rdsText);
  // A panel shows the title first: a station without RDS still shows something to know it by.
  state.title = !rdsText.empty() ? rdsText : !state.artist.empty() ? state.artist : state.album;
  // The station tags the song: a panel shows it as any player shows a track.
  const std::string songTitle = CleanStationText(texts.songTitle);
  const std::string songArtist = CleanStationText(texts.songArtist);
  if (!songTitle.empty()) state.title = songTitle;
  if (!songArtist.empty()) state.artist = songArtist;
}

MediaState ReadMediaState(RadioHost& host) {
  MediaState state;
  if (!host.HasPlugin()) return state;
  if (std::optional<int32_t> percent = host.Volume()) state.volume = *percent / 100.0;
  try {
    halvane::IDMRadio& radio = host.Radio();
    state.active = radio.IsActive();
    if (state.active) {
      std::string mute = "radiomute";
      state.playbackStatus = radio.ReturnIndicatorEx(mute) == "True" ? "Paused" : "Playing";
    }
    DescribeStation({Label(radio, "rdsname"), Label(radio, "rdstext"), Label(radio, "station"),
                     Label(radio, "frequency"), Label(radio, "mhzkhz"), Label(radio, "rdstitle"),
                     Label(radio, "rdsartist")},
                    state);
    state.artUrl = FileUri(radio.GetArtwork());
    int32_t freq = radio.Freq();
    state.trackId = "/org/halvane/radio/station/" + std::to_string(freq < 0 ? 0 : freq);
  } catch (const std::exception&) {
    return MediaState{};
  }
  return state;
}

}  // namespace host
