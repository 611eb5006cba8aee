// Command strings through ProcessCommand on an active plug-in, with host screens whose tag, typed
// text, list row and members come from the input, the recording driver answering from a script
// the input changes as it goes, and timer ticks, skin queries and host calls in between.
//
// Every call either succeeds or fails with one of the run-time errors the plug-in's callers are
// told about; no other exception, no crash, and the preset store stays whole.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "fake_host.h"
#include "fuzz_dirs.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "plugin/dm_radio.h"
#include "recording_driver.h"

namespace {

using halvane::Variant;
using ObjectRef = std::shared_ptr<halvane::Dispatch>;

// The numbers ordinary and broken input may reach: overflow, subscript, type mismatch, bad file
// name, file not found, file and path access, no object, no member.
const std::set<int> kExpectedErrors = {6, 9, 13, 52, 53, 75, 76, 91, 438};

const char* const kDriverFunctions[] = {"radioInitialize",
                                        "radioUninitialize",
                                        "VolumeMute",
                                        "radioForceMono",
                                        "radioSetFrequency",
                                        "radioGetFrequency",
                                        "radioSearch",
                                        "RDS_Stop",
                                        "RDS_Start",
                                        "radioGetState",
                                        "RDS_SAA6588_GetDecoderState",
                                        "RDS_EvalData"};

const int32_t kFrequenciesHz[] = {87500000, 107900000, 95800000,  10400000,  400000000,
                                  -1,       INT32_MIN, 327675000, 327665000, 0};
const int32_t kResults[] = {0, 1, -1, static_cast<int32_t>(0x80000400), 5};
const char* const kScanSecs[] = {"", "0", "2.5", "33", "-1", "abc", "1e3", "0.001", "True"};
const char* const kKeywords[] = {
    "frequency",  "fmam",     "mhzkhz",       "rsignal", "station",   "preset",       "rdsname",
    "rdstext",    "rdspty",   "rdsptystring", "rdspi",   "tagartist", "trackname",    "tracknumber",
    "status",     "stereo",   "radiomute",    "rdsta",   "rdstp",     "rdsms",        "radioart",
    "presetmode", "seekmode", "local",        "scan",    "surf",      "searchpresets"};
const char* const kScreenMembers[] = {"Tag", "ShowPL", "PLValue", "PL", "txt"};

rec::Driver& Driver() {
  static rec::Driver* driver = [] {
    const std::string path = std::string(FUZZ_DRIVER_HOME) + "RadioModules/Halvane/Radio_IO.so";
    void* lib = dlopen(path.c_str(), RTLD_NOW);
    if (lib == nullptr) fuzzing::Fail("no recording driver at " + path);
    auto state = reinterpret_cast<rec::Driver* (*)()>(dlsym(lib, "RecordingDriverState"));
    return state();
  }();
  return *driver;
}

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return Empty() ? 0 : data_[pos_++]; }
  int32_t Int32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
    return static_cast<int32_t>(v);
  }
  // Text up to a line feed (not included) or the end; at most `max` bytes.
  std::string Text(size_t max = 120) {
    std::string s;
    while (!Empty() && s.size() < max) {
      const char c = static_cast<char>(data_[pos_++]);
      if (c == '\n') break;
      s.push_back(c);
    }
    return s;
  }
  template <class T, size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Byte() % N];
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Paths in commands stay inside the scratch folder (the working folder): the plug-in imports any
// list file it is named, and that is not what this target is about.
std::string Confined(std::string text) {
  for (char& c : text)
    if (c == '/') c = '_';
  return text;
}

Variant PickVariant(Input& in) {
  switch (in.Byte() % 7) {
    case 0:
      return Variant(true);
    case 1:
      return Variant(false);
    case 2:
      return Variant(static_cast<int32_t>(static_cast<int8_t>(in.Byte())));
    case 3:
      return Variant(std::string("True"));
    case 4:
      return Variant(in.Text(12));
    case 5:
      return Variant(static_cast<double>(in.Int32()) / 7.0);
    default:
      return Variant();
  }
}

ObjectRef MakeScreen(Input& in) {
  std::shared_ptr<fake::Screen> screen;
  switch (in.Byte() % 6) {
    case 0:
      screen = fake::RadioScreen();
      break;
    case 1:
      screen = fake::KeyboardScreen();
      break;
    case 2:
      screen = fake::PlainScreen();
      break;
    case 3:
      return nullptr;
    default:
      screen = std::make_shared<fake::Screen>(in.Text(24), in.Byte() & 1);
      screen->showPL = PickVariant(in);
      if (in.Byte() & 1) screen->Remove(in.Pick(kScreenMembers));
      break;
  }
  screen->txt[0]->text = Variant(in.Text(24));
  screen->plValue = PickVariant(in);
  screen->list->value = PickVariant(in);
  return screen;
}

class Session {
 public:
  explicit Session(Input& in) : in_(in) {
    const uint8_t setup = in.Byte();
    sdk_ = std::make_shared<fake::Sdk>();
    sdk_->Var("DMPath", Variant(std::string(FUZZ_DRIVER_HOME)));
    sdk_->Var("RadioDebug", Variant((setup & 2) != 0));
    sdk_->Var("allowallfreqs", Variant((setup & 4) != 0));
    sdk_->Var("Userbds", Variant((setup & 8) != 0));
    sdk_->Var("scansecs", Variant(std::string(in.Pick(kScanSecs))));
    sdk_->Var("dmartpath", Variant(fuzzing::ScratchRoot()));
    sdk_->Var("fastmode", Variant(std::string("0")));
    auto sdk = sdk_;
    halvane::RegisterClassObject(HALVANE_SDK_PROGID, [sdk] { return sdk; });

    const std::string config = fuzzing::FreshFolder("config");
    const std::string cache = fuzzing::FreshFolder("cache");
    if (setup & 16)
      fuzzing::WriteFileBytes(cache + halvane::kMainListFile,
                              "9580|0|0\r\n8750,One\r\n9580,Two\r\n1040,AM\r\n10790,Top\r\n");

    const halvane::Environment env(
        std::make_shared<halvane::FixedLocale>(
            (setup & 1) ? halvane::NumberFormat{",", "."} : halvane::NumberFormat{".", ","}, 1031),
        [](std::chrono::milliseconds) {});
    component_ = std::make_unique<halvane::Component>(env);
    radio_ = std::make_shared<halvane::DMRadio>(*component_);
    radio_->ConfigPath(config);
    radio_->CachePath(cache);
    radio_->SeekMode(setup & 32);
    radio_->PresetMode(setup & 64);
    radio_->StartRadio();
    bool on = true;
    radio_->SetActive(on);
  }

  ~Session() {
    radio_.reset();
    component_.reset();
    halvane::RevokeClassObject(HALVANE_SDK_PROGID);
  }

  void Step() {
    switch (in_.Byte() % 8) {
      case 0:
      case 1:
      case 2:
        return Command();
      case 3:
        return Expect([&] { radio_->StatusTimer_Timer(); });
      case 4:
        // Search ticks come only while the surf timer runs.
        if (radio_->search().SurfTimer() && radio_->search().SurfTimer()->Running())
          Expect([&] { radio_->SurfTimer_Timer(); });
        return;
      case 5:
        return ChangeDriver();
      case 6:
        return Query();
      default:
        return HostCall();
    }
  }

  void CheckStore() const {
    const auto& p = component_->presets();
    if (p.table().empty() && component_->radio().radioReady())
      fuzzing::Fail("a started radio without its preset store");
    if (p.table().size() > static_cast<size_t>(halvane::kMaxPresets) + 1)
      fuzzing::Fail("more presets than 16 bits count");
    if (component_->radio().active() && !component_->radio().radioReady())
      fuzzing::Fail("active without a ready tuner");
    const auto mode = static_cast<int32_t>(radio_->SearchMode());
    if (mode < 0 || mode > 3) fuzzing::Fail("a search mode nothing sets");
    if (radio_->SearchMode() == halvane::SModes::Disabled && radio_->search().SurfTimer() &&
        radio_->search().SurfTimer()->Enabled())
      fuzzing::Fail("the surf timer runs with no search");
  }

 private:
  template <class F>
  void Expect(F&& call) {
    try {
      call();
    } catch (const halvane::RuntimeError& e) {
      if (!kExpectedErrors.count(e.number()))
        fuzzing::Fail("unexpected run-time error " + std::to_string(e.number()) + ": " + e.what());
    } catch (const std::exception& e) {
      fuzzing::Fail(std::string("an exception that is no run-time error: ") + e.what());
    }
  }

  void Command() {
    std::string command = Confined(in_.Text());
    ObjectRef frm = MakeScreen(in_);
    Expect([&] {
      const int16_t result = radio_->ProcessCommand(command, frm);
      if (result != 0 && result != 2) fuzzing::Fail("a result other than 0 or 2");
    });
  }

  void ChangeDriver() {
    rec::Script& s = Driver().script;
    switch (in_.Byte() % 6) {
      case 0:
        s.frequencyHz = in_.Pick(kFrequenciesHz);
        break;
      case 1:
        s.decoderState = static_cast<uint32_t>(in_.Int32());
        s.stateFlags = in_.Byte();
        break;
      case 2: {
        const std::string name = in_.Pick(kDriverFunctions);
        if (!s.failing.erase(name)) s.failing.insert(name);
        break;
      }
      case 3:
        s.results[in_.Pick(kDriverFunctions)] = in_.Pick(kResults);
        break;
      case 4:
        s.searchFound.push_back(in_.Pick(kFrequenciesHz));
        s.searchResults.push_back(in_.Pick(kResults));
        break;
      default: {
        auto* bytes = reinterpret_cast<uint8_t*>(&s.record);
        const size_t at = in_.Byte() % 8;  // PTY, flags and the first PS and PI bytes
        const size_t offsets[] = {0, 1, 2, 5, 184, 185, 186, 195};
        bytes[offsets[at]] = in_.Byte();
        break;
      }
    }
  }

  void Query() {
    std::string keyword = (in_.Byte() & 1) ? in_.Text(16) : in_.Pick(kKeywords);
    std::string format;
    switch (in_.Byte() % 4) {
      case 0:
        return Expect([&] { radio_->ReturnLabel(keyword, format); });
      case 1:
        return Expect([&] { radio_->ReturnIndicatorEx(keyword); });
      case 2:
        return Expect([&] { radio_->ReturnSlider(keyword); });
      default:
        return Expect([&] { radio_->GetArtwork(); });
    }
  }

  void HostCall() {
    switch (in_.Byte() % 7) {
      case 0: {
        bool state = in_.Byte() & 1;
        return Expect([&] { radio_->SetActive(state); });
      }
      case 1: {
        int32_t f = in_.Byte() & 1 ? in_.Int32() : in_.Pick(kFrequenciesHz) / 10000;
        return Expect([&] { radio_->Tune(f); });
      }
      case 2: {
        int16_t n = static_cast<int16_t>(static_cast<int8_t>(in_.Byte()));
        return Expect([&] { radio_->PresetRecall(n); });
      }
      case 3: {
        ObjectRef frm = MakeScreen(in_);
        return Expect([&] { radio_->Refresh(frm); });
      }
      case 4:
        return Expect([&] { radio_->StopRadio(); });
      case 5:
        return Expect([&] { radio_->StartRadio(); });
      default:
        return Expect([&] { radio_->Check(); });
    }
  }

  Input& in_;
  std::shared_ptr<fake::Sdk> sdk_;
  std::unique_ptr<halvane::Component> component_;
  std::shared_ptr<halvane::DMRadio> radio_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Relative paths in commands resolve inside the scratch folder.
  if (chdir(fuzzing::ScratchRoot().c_str()) != 0) fuzzing::Fail("can't enter the scratch folder");
  Driver();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Driver().Reset();
  Input in(data, size);
  {
    Session session(in);
    session.CheckStore();
    while (!in.Empty()) {
      session.Step();
      session.CheckStore();
    }
  }
  Driver().Reset();
  return 0;
}
