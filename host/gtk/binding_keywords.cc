#include "binding_keywords.h"

#include <algorithm>

namespace host::gtk {
namespace {

// The keywords the plug-in answers, as a skin may bind them. Labels: those answered at any time,
// then those answered only while active.
constexpr std::string_view kLabels[] = {
    "fmam", "mhzkhz", "frequency", "frequence", "rsignal", "station", "radioname", "preset",
    "radionumber", "rdsname", "rdstext", "rdspty", "pty", "rdsptystring", "rdspi", "tagartist",
    "tagalbum", "tagtitle", "trackname", "audiotrack", "tracknumber", "status",
    // Beyond the record, when the driver reports it.
    "rdsartist", "rdstitle", "rdsalbum", "rdsprogramme", "rdshost", "rdsptyn", "rdsclock",
    "rdslongname", "rdscountry", "rdslanguage", "rdscallletters", "rdsaf", "rdsgroups",
    "rdsblockerrors"};
// Indicators answering "True" or "False".
constexpr std::string_view kIndicators[] = {
    "stereo",     "mono",     "fmam",  "radiomute", "rdsta", "rdstp",         "rdsms",
    "presetmode", "seekmode", "local", "scan",      "surf",  "searchpresets", "rdstraffic"};
// Indicators answering a picture's path.
constexpr std::string_view kArtwork[] = {"radioart", "status"};
constexpr std::string_view kSliders[] = {"rsignal"};
// The host's own texts; "quality" and "blend" from the driver's report of the reception.
constexpr std::string_view kHostTexts[] = {"error", "prompt", "volume", "quality", "blend"};

constexpr BindingKindInfo kKinds[] = {
    {BindingKind::Label, "label", kLabels},
    {BindingKind::Indicator, "indicator", kIndicators},
    {BindingKind::Slider, "slider", kSliders},
    {BindingKind::Artwork, "artwork", kArtwork},
    {BindingKind::Row, "row", {}},
    {BindingKind::Host, "host", kHostTexts},
};

constexpr SkinAction kActions[] = {
    {"command", "s"},   // ProcessCommand with the string, on the screen the button is on
    {"recall", "i"},    // PresetRecall with the preset number
    {"type", "s"},      // appends the text to the keyboard screen's text
    {"backspace", ""},  // removes the last character of it
    {"shift", ""},      // switches the letter keys between capitals and small letters (a toggle)
    {"cancel", ""},     // leaves the keyboard screen without confirming
    {"night", ""},      // switches between the day and the night style (a toggle)
    {"help", ""},       // shows the keys
    {"more", ""},       // shows the panel "more" over the radio screen
    {"key", "s"},       // does what that key of the radio's keyboard does ("n", "?", "q")
    {"traffic", ""},    // traffic announcements lift a mute, on or off (a toggle)
    {"volume", "i"},    // changes the tuner's volume by the number of percent
    {"quit", ""},
};

std::string Lowered(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

bool IsRowNumber(std::string_view text) {
  return !text.empty() && text.size() <= 4 && text[0] != '0' &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::span<const BindingKindInfo> BindingKinds() { return kKinds; }

std::span<const SkinAction> SkinActions() { return kActions; }

std::optional<Binding> ParseBindingId(std::string_view id, std::string& unknown) {
  unknown.clear();
  const size_t dot = id.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const std::string prefix = Lowered(id.substr(0, dot));
  const std::string keyword = Lowered(id.substr(dot + 1));
  for (const BindingKindInfo& info : kKinds) {
    if (info.prefix != prefix) continue;
    const bool known =
        info.kind == BindingKind::Row
            ? IsRowNumber(keyword)
            : std::find(info.keywords.begin(), info.keywords.end(), keyword) != info.keywords.end();
    if (known) return Binding{info.kind, keyword};
    unknown = "\"" + std::string(id) + "\": no " + prefix + " \"" + keyword +
              "\"; the widget is left as designed";
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace host::gtk
