#include "radio_view.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace host {
namespace {

std::string Label(halvane::IDMRadio& radio, const char* keyword) {
  std::string lbl = keyword, fmt;
  return radio.ReturnLabel(lbl, fmt);
}

bool Indicator(halvane::IDMRadio& radio, const char* keyword) {
  std::string ind = keyword;
  return radio.ReturnIndicatorEx(ind) == "True";
}

// Characters of a UTF-8 text: the byte ranges of its code points.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> chars;
  for (size_t i = 0; i < text.size();) {
    size_t n = 1;
    while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
    chars.push_back(text.substr(i, n));
    i += n;
  }
  return chars;
}

bool IsControlCharacter(const std::string& ch) {
  unsigned char b0 = static_cast<unsigned char>(ch[0]);
  if (ch.size() == 1) return b0 < 0x20 || b0 == 0x7F;
  // U+0080..U+009F are C2 80..C2 9F.
  return ch.size() == 2 && b0 == 0xC2 && static_cast<unsigned char>(ch[1]) <= 0x9F;
}

std::string Pad(const std::string& text, int width) { return FitText(text, width); }

// "[##########------]": the signal as a bar of `cells` cells.
std::string SignalBar(int32_t signal, int cells) {
  int filled = static_cast<int>(
      (static_cast<int64_t>(std::clamp(signal, 0, 65535)) * cells + 32767) / 65535);
  return "[" + std::string(static_cast<size_t>(filled), '#') +
         std::string(static_cast<size_t>(cells - filled), '-') + "]";
}

const char* OnOff(bool b) { return b ? "on" : "off"; }

}  // namespace

RadioView ReadRadioView(halvane::IDMRadio& radio) {
  RadioView v;
  v.active = radio.IsActive();
  v.band = Label(radio, "fmam");
  v.frequency = Label(radio, "frequency");
  v.unit = Label(radio, "mhzkhz");
  std::string sld = "rsignal";
  v.signal = radio.ReturnSlider(sld);
  v.signalText = Label(radio, "rsignal");
  v.stereo = Indicator(radio, "stereo");
  v.rdsName = Label(radio, "rdsname");
  v.rdsText = Label(radio, "rdstext");
  v.pty = Label(radio, "rdspty");
  v.ptyName = Label(radio, "rdsptystring");
  v.pi = Label(radio, "rdspi");
  v.tp = Indicator(radio, "rdstp");
  v.ta = Indicator(radio, "rdsta");
  v.ms = Indicator(radio, "rdsms");
  v.muted = Indicator(radio, "radiomute");
  v.presetNumber = Label(radio, "preset");
  v.presetName = Label(radio, "station");
  v.seekMode = Indicator(radio, "seekmode");
  v.presetMode = Indicator(radio, "presetmode");
  v.local = Indicator(radio, "local");
  v.scan = Indicator(radio, "scan");
  v.surf = Indicator(radio, "surf");
  v.learning = Indicator(radio, "searchpresets");
  std::string art = "radioart";
  v.artwork = radio.ReturnIndicatorEx(art);
  return v;
}

std::string FitText(const std::string& text, int width) {
  std::string out;
  int count = 0;
  for (const std::string& ch : Characters(text)) {
    if (count == width) break;
    out += IsControlCharacter(ch) ? " " : ch;
    ++count;
  }
  if (count < width) out.append(static_cast<size_t>(width - count), ' ');
  return out;
}

std::string PiHex(const std::string& piText) {
  int32_t pi = 0;
  auto [end, ec] = std::from_chars(piText.data(), piText.data() + piText.size(), pi);
  if (piText.empty() || ec != std::errc() || end != piText.data() + piText.size()) return {};
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(pi) & 0xFFFFu);
  return buf;
}

std::vector<ScreenLine> RenderRadioScreen(const ScreenState& s, int width) {
  width = std::max(width, 40);
  const RadioView& v = s.view;
  const int inner = width - 4;  // inside "| " and " |"
  std::vector<ScreenLine> lines;
  auto boxed = [&](const std::string& text) { lines.push_back({"| " + Pad(text, inner) + " |"}); };
  auto rule = [&] {
    lines.push_back({"+" + std::string(static_cast<size_t>(width - 2), '-') + "+"});
  };
  auto two = [&](const std::string& left, const std::string& right) {
    int room = inner - static_cast<int>(Characters(right).size());
    boxed(Pad(left, std::max(room, 0)) + right);
  };

  std::string state = !v.active ? "OFF" : v.muted ? "ACTIVE  MUTED" : "ACTIVE";
  lines.push_back(
      {Pad(" HalvaneDM  Halvane 600", width - static_cast<int>(state.size()) - 1) + state + " ",
       true});
  rule();
  std::string tuned = v.band + "  " + v.frequency + " " + v.unit;
  std::string preset =
      v.presetNumber.empty() ? "no preset" : "P" + v.presetNumber + "  " + v.presetName;
  two(Pad(tuned, 18) + "  " + FitText(v.rdsName, 8), preset);
  std::string flags = std::string(v.stereo ? "STEREO" : "mono  ") + "   " + (v.tp ? "TP" : "--") +
                      " " + (v.ta ? "TA" : "--") + " " +
                      (v.pi.empty() ? "     "
                       : v.ms       ? "MUSIC "
                                    : "SPEECH");
  two("Signal " + SignalBar(v.signal, 16) + " " + Pad(v.signalText, 4), flags);
  boxed(v.rdsText);
  std::string ptyText = v.pty.empty() ? "" : "PTY " + v.pty + "  " + v.ptyName;
  std::string piText = v.pi.empty() ? "" : "PI " + PiHex(v.pi);
  two(ptyText, piText);
  std::string search = v.learning ? "learning presets" : v.scan ? "scan" : v.surf ? "surf" : "off";
  boxed(std::string("seek mode ") + OnOff(v.seekMode) + "   preset mode " + OnOff(v.presetMode) +
        "   list " + (v.local ? "local" : "main") + "   search " + search);
  if (!v.artwork.empty()) boxed("art " + v.artwork);
  rule();

  lines.push_back({Pad(std::string(" Presets, ") + (v.local ? "local" : "main") + " list (" +
                           std::to_string(s.rows.size()) + ")",
                       width)});
  const int count = static_cast<int>(s.rows.size());
  // Keep the highlighted row in view, as the list's CenterList asks.
  int first = 0;
  if (s.highlight >= 0 && count > s.maxRows)
    first = std::clamp(s.highlight - s.maxRows / 2, 0, count - s.maxRows);
  for (int r = first; r < count && r < first + s.maxRows; ++r) {
    bool on = r == s.highlight;
    lines.push_back(
        {Pad(std::string(on ? " > " : "   ") + s.rows[static_cast<size_t>(r)], width), on});
  }
  if (count == 0) lines.push_back({Pad("   (none: a adds the station, L learns the band)", width)});
  lines.push_back({Pad(s.lastError.empty() ? "" : " Last error: " + s.lastError, width)});
  return lines;
}

}  // namespace host
