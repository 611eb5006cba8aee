// One full repaint of the radio screen while the radio plays: every label, indicator and slider
// keyword the skin can name, asked the way the host asks them.
#include <sys/stat.h>

#include <array>
#include <string_view>

#include "bench_pairs.h"
#include "bench_plugin.h"
#include "driver_floor.h"
#include "halvane/driver_contract.h"

namespace bench {
namespace {

constexpr std::array<std::string_view, 22> kLabels{
    "fmam",      "mhzkhz",       "frequency",   "frequence", "rsignal",  "station",
    "radioname", "preset",       "radionumber", "rdsname",   "rdstext",  "rdspty",
    "pty",       "rdsptystring", "rdspi",       "tagartist", "tagalbum", "tagtitle",
    "trackname", "audiotrack",   "tracknumber", "status"};

constexpr std::array<std::string_view, 14> kIndicators{
    "stereo",     "fmam",     "radiomute", "rdsta", "rdstp", "rdsms",         "radioart",
    "presetmode", "seekmode", "local",     "scan",  "surf",  "searchpresets", "status"};

constexpr double kFrameMicros = 1e6 / 60;

void RepaintOurs(benchmark::State& state) {
  BenchPlugin plugin;
  plugin.StartActive();
  halvane::DMRadio& radio = plugin.radio();
  // The host's variables: a keyword is copied in before each call, since answering an active
  // label empties the caller's variable.
  std::string keyword, format;
  keyword.reserve(32);
  for (auto _ : state) {
    for (std::string_view k : kLabels) {
      keyword = k;
      benchmark::DoNotOptimize(radio.ReturnLabel(keyword, format));
    }
    for (std::string_view k : kIndicators) {
      keyword = k;
      benchmark::DoNotOptimize(radio.ReturnIndicatorEx(keyword));
    }
    keyword = "rsignal";
    benchmark::DoNotOptimize(radio.ReturnSlider(keyword));
  }
}

// What a repaint can't do without: ask the driver for stereo, ask the host for the artwork folder,
// the fast mode and the skin folder, and test the nine artwork names and two mute pictures.
void RepaintFloor(benchmark::State& state) {
  BenchPlugin plugin;
  plugin.StartActive();
  const char* driver = InstantDriverPath().c_str();
  const std::string art = plugin.ArtDir() + "RadioArt/";
  std::vector<std::string> files;
  for (const char* stem : {"PI4660", "8750", "radio"})
    for (const char* extension : {".png", ".jpg", ".gif"}) files.push_back(art + stem + extension);
  for (const char* picture : {"unmuted.png", "unmuted.gif"})
    files.push_back(plugin.SkinDir() + picture);
  const auto sdk = std::static_pointer_cast<halvane::Dispatch>(plugin.sdk);

  for (auto _ : state) {
    uint8_t flags = 0;
    benchmark::DoNotOptimize(FloorCall<int32_t, uint8_t*>(driver, HALVANE_FN_GET_STATE, 0, &flags));
    for (std::string_view request : {"=$dmartpath$", "=$fastmode$"}) {
      halvane::Variant args[1] = {halvane::Variant(std::string(request))};
      benchmark::DoNotOptimize(sdk->Invoke("GetInfo", halvane::CallKind::Method, args));
    }
    halvane::Variant args[1] = {halvane::Variant("skinpath")};
    benchmark::DoNotOptimize(sdk->Invoke("GetUserVar", halvane::CallKind::Method, args));
    for (const std::string& file : files) {
      struct stat st {};
      benchmark::DoNotOptimize(::stat(file.c_str(), &st));
    }
  }
}

const Registration kRegistration([] {
  AddPair({.row = 3,
           .name = "Repaint",
           .floor = "radioGetState floor call, 3 host calls, 11 file tests",
           .maxRatio = 2.0,
           .budgetMicros = kFrameMicros / 100},
          RepaintOurs, RepaintFloor);
});

}  // namespace
}  // namespace bench
