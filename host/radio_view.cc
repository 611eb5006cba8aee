#include "radio_view.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "field_line.h"
#include "station_text.h"

namespace host {
namespace {

constexpr int kMaxBoxWidth = 100;

std::string Label(halvane::IDMRadio& radio, const char* keyword) {
  std::string lbl = keyword, fmt;
  return radio.ReturnLabel(lbl, fmt);
}

bool Indicator(halvane::IDMRadio& radio, const char* keyword) {
  std::string ind = keyword;
  return radio.ReturnIndicatorEx(ind) == "True";
}

// "[##########------]": the signal as a bar of `cells` cells.
std::string SignalBar(int32_t signal, int cells) {
  int filled = static_cast<int>(
      (static_cast<int64_t>(std::clamp(signal, 0, 65535)) * cells + 32767) / 65535);
  std::string bar = "[";
  bar.append(static_cast<size_t>(filled), '#').append(static_cast<size_t>(cells - filled), '-');
  return bar += "]";
}

const char* OnOff(bool b) { return b ? "on" : "off"; }

const char* SearchWord(const RadioView& v) {
  return v.learning ? "learning presets" : v.scan ? "scan" : v.surf ? "surf" : "off";
}

// The station's box: its lines in the order shown, each with its rank when lines must go.
struct BoxLine {
  int rank;
  std::vector<Field> fields;
};

std::vector<BoxLine> BoxLines(const RadioView& v, int width, const std::string& rdsName,
                              const std::string& rdsText, const std::string& ptyName,
                              const std::string& presetName, const std::string& tunerProblem) {
  std::string tuned = !tunerProblem.empty() ? tunerProblem
                      : v.frequency.empty() || v.frequency == "0"
                          ? "no station"
                          : v.band + "  " + v.frequency + " " + v.unit;
  std::string preset = v.presetNumber.empty() ? "" : "P" + v.presetNumber + "  " + presetName;
  // The stereo indicator with what the blend leaves of the stereo, "STEREO 60%".
  const std::string blend = BlendText(v.stereo, v.reception);
  std::string reception = v.forcedMono ? "FORCED MONO"
                          : v.stereo   ? (blend.empty() ? "STEREO" : "STEREO " + blend)
                                       : "mono";
  // The traffic flags only when set: "TP" (a traffic programme), "TA" (an announcement now).
  std::string traffic =
      v.pi.empty() ? ""
                   : std::string(v.tp ? "TP" : "") + (v.tp && v.ta ? " " : "") + (v.ta ? "TA" : "");
  // The song as the station tags it, in place of the RadioText it is part of.
  const std::string song = v.songArtist.empty()  ? v.songTitle
                           : v.songTitle.empty() ? v.songArtist
                                                 : v.songArtist + " - " + v.songTitle;
  std::string content = v.pi.empty() ? "" : v.ms ? "MUSIC" : "SPEECH";
  // The signal's quality beside its level, where the driver measures it.
  const std::string quality = QualityText(v.reception);
  std::string signal = " " + v.signalText + (quality.empty() ? "" : "  " + quality);
  const int cells = width >= 50 ? 16 : 8;
  std::string pty = v.pty.empty() ? "" : "PTY " + v.pty + (ptyName.empty() ? "" : "  " + ptyName);
  if (!v.ptyn.empty()) pty += "  " + v.ptyn;
  std::string extras =
      (v.af.empty() ? "" : "AF " + v.af) +
      (v.clock.empty()
           ? ""
           : (v.af.empty() ? "" : "  ") + (v.clock.size() >= 16 ? v.clock.substr(11, 5) : v.clock));
  std::string pi = v.pi.empty() ? "" : "PI " + PiHex(v.pi);
  return {
      {0,
       {{tuned, 0},
        {rdsName, 1},
        {preset, 2, true, true, v.presetNumber.empty() ? "" : "P" + v.presetNumber}}},
      {1,
       {{"Signal " + SignalBar(v.signal, cells) + signal, 0, false, false,
         SignalBar(v.signal, 8) + signal},
        {reception, 1, true},
        {content, 2, true},
        {traffic, 3, true}}},
      {2, {{song.empty() ? rdsText : song, 0, false, true}}},
      {3, {{pty, 0, false, true}, {extras, 2, true}, {pi, 1, true}}},
      {4,
       {{std::string("search ") + SearchWord(v), 0},
        {std::string("list ") + (v.local ? "local" : "main"), 1},
        {std::string("seek mode ") + OnOff(v.seekMode), 2, false, false,
         std::string("seek ") + OnOff(v.seekMode)},
        {std::string("preset mode ") + OnOff(v.presetMode), 3, false, false,
         std::string("presets ") + OnOff(v.presetMode)}}},
  };
}

}  // namespace

RadioView ReadRadioView(halvane::IDMRadio& radio, bool withArtwork) {
  RadioView v;
  v.active = radio.IsActive();
  v.band = Label(radio, "fmam");
  v.frequency = Label(radio, "frequency");
  v.unit = ShownUnit(Label(radio, "mhzkhz"));
  std::string sld = "rsignal";
  v.signal = radio.ReturnSlider(sld);
  v.signalText = Label(radio, "rsignal");
  v.stereo = Indicator(radio, "stereo");
  v.forcedMono = Indicator(radio, "mono");
  v.rdsName = Label(radio, "rdsname");
  v.rdsText = Label(radio, "rdstext");
  v.pty = Label(radio, "rdspty");
  v.ptyName = Label(radio, "rdsptystring");
  v.pi = Label(radio, "rdspi");
  v.tp = Indicator(radio, "rdstp");
  v.ta = Indicator(radio, "rdsta");
  v.ms = Indicator(radio, "rdsms");
  v.songArtist = Label(radio, "rdsartist");
  v.songTitle = Label(radio, "rdstitle");
  v.ptyn = Label(radio, "rdsptyn");
  v.clock = Label(radio, "rdsclock");
  v.af = Label(radio, "rdsaf");
  v.traffic = Indicator(radio, "rdstraffic");
  v.muted = Indicator(radio, "radiomute");
  v.presetNumber = Label(radio, "preset");
  v.presetName = Label(radio, "station");
  v.seekMode = Indicator(radio, "seekmode");
  v.presetMode = Indicator(radio, "presetmode");
  v.local = Indicator(radio, "local");
  v.scan = Indicator(radio, "scan");
  v.surf = Indicator(radio, "surf");
  v.learning = Indicator(radio, "searchpresets");
  if (withArtwork) {
    std::string art = "radioart";
    v.artwork = radio.ReturnIndicatorEx(art);
  }
  return v;
}

std::string PiHex(const std::string& piText) {
  int32_t pi = 0;
  auto [end, ec] = std::from_chars(piText.data(), piText.data() + piText.size(), pi);
  if (piText.empty() || ec != std::errc() || end != piText.data() + piText.size()) return {};
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(pi) & 0xFFFFu);
  return buf;
}

std::vector<ScreenLine> RenderRadioScreen(const ScreenState& s, int width, int height) {
  const bool ascii = s.ascii;
  auto text = [ascii](const std::string& t) { return ascii ? ToAscii(t) : t; };
  const RadioView& v = s.view;
  width = std::clamp(width, 20, kMaxBoxWidth);
  const int box = width;
  const int inner = box - 4;  // inside "| " and " |"
  std::vector<ScreenLine> lines;
  auto rule = [&] {
    std::string line(static_cast<size_t>(box), '-');
    line.front() = line.back() = '+';
    lines.push_back({line});
  };
  auto full = [&](const std::vector<Field>& fields, LineStyle style = LineStyle::kPlain) {
    std::string line = " ";
    line += LayFields(fields, width - 2, ascii);
    lines.push_back({line += " ", style});
  };

  // Title, the two rules, the list's heading and the message line are always there.
  const int count = static_cast<int>(s.rows.size());
  const int minRows = std::max(1, std::min(count, 2));
  const int boxLines = std::clamp(height - 5 - minRows, 0, 5);
  const int listRows = std::max(height - 5 - boxLines, 1);

  std::string state = !v.active ? "OFF" : "ACTIVE";
  if (v.muted) state += "  MUTED";
  if (s.volume >= 0) state += "  volume " + std::to_string(s.volume) + "%";
  if (v.scan || v.surf || v.learning)
    state += std::string("  ") + (v.learning ? "LEARNING" : v.scan ? "SCAN" : "SURF");
  // A traffic announcement takes the title line, in the alert colours, before anything else.
  if (v.traffic)
    full({{"Traffic announcement", 0}, {state, 1, true}, {"HalvaneDM", 2, true}},
         LineStyle::kAlert);
  else
    full({{"HalvaneDM  Halvane 600", 1, false, false, "HalvaneDM"}, {state, 0, true}},
         LineStyle::kTitle);
  rule();
  for (const BoxLine& line : BoxLines(v, inner, text(v.rdsName), text(v.rdsText), text(v.ptyName),
                                      text(v.presetName), text(s.tunerProblem)))
    if (line.rank < boxLines) lines.push_back({"| " + LayFields(line.fields, inner, ascii) + " |"});
  rule();

  full({{std::string("Presets, ") + (v.local ? "local" : "main") + " list (" +
             std::to_string(count) + ")",
         0, false, false, "Presets (" + std::to_string(count) + ")"}});
  // Keep the highlighted row in view, as the list's CenterList asks.
  int first = 0;
  if (s.highlight >= 0 && count > listRows)
    first = std::clamp(s.highlight - listRows / 2, 0, count - listRows);
  for (int r = first; r < count && r < first + listRows; ++r) {
    bool on = r == s.highlight;
    std::string row = text(s.rows[static_cast<size_t>(r)]);
    lines.push_back({FitText((on ? " > " : "   ") + Ellipsize(row, width - 4, ascii), width),
                     on ? LineStyle::kHighlight : LineStyle::kPlain});
  }
  if (count == 0) full({{"(none: a adds the station, L learns the band)", 0, false, true}});
  while (static_cast<int>(lines.size()) < height - 1) lines.push_back({std::string(width, ' ')});
  LineStyle messageStyle = s.message.empty()  ? LineStyle::kPlain
                           : s.messageIsError ? LineStyle::kError
                                              : LineStyle::kNotice;
  lines.push_back(
      {FitText(" " + Ellipsize(text(s.message), width - 2, ascii), width), messageStyle});
  return lines;
}

}  // namespace host
