// A long run on the simulated driver: status ticks through the GLib context, the driver's clock
// advanced 100 ms a tick, random commands from the radio and keyboard screens, and the search's
// ticks while one runs. Nothing may fail other than with a run-time error, and the heap in use may
// not grow once the first minute is over (measured with the preset store emptied each time).
//
// CTest runs a short version; HALVANE_LONG_RUN_TICKS and HALVANE_LONG_RUN_COMMANDS set the counts
// (scripts/robustness runs 100,000 ticks and 10,000 commands under LeakSanitizer).
#include <dlfcn.h>
#include <malloc.h>

#include <cstdlib>
#include <map>
#include <random>

#include "robustness_fixture.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HALVANE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define HALVANE_ASAN 1
#endif
#ifdef HALVANE_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace {

using namespace halvane;

constexpr int kTickMs = 100;
constexpr int kWarmUpTicks = 600;  // the first minute of the radio's time

const char* const kCommands[] = {"tune",
                                 "preset",
                                 "addpreset",
                                 "editpreset",
                                 "enter",
                                 "movepreset;up",
                                 "movepreset;down",
                                 "fineup",
                                 "finedown",
                                 "freq-",
                                 "freq+",
                                 "next",
                                 "prev",
                                 "dmnext",
                                 "dmprev",
                                 "tuneup",
                                 "tunedown",
                                 "seekup",
                                 "seekdown",
                                 "seekmode",
                                 "scan",
                                 "surf",
                                 "mono",
                                 "radiomute",
                                 "radiomute;on",
                                 "radiomute;off",
                                 "radioreset",
                                 "rtune;101.5",
                                 "rtune;95,8",
                                 "rtune;",
                                 "presetmode",
                                 "presetup",
                                 "presetdown",
                                 "delpreset",
                                 "local",
                                 "loadpresets;",
                                 "loadlist",
                                 "clearpresets",
                                 "searchpresets",
                                 "loadpreset;Morning",
                                 "savepreset;Morning",
                                 "SEEKUP",
                                 "unknown",
                                 ";",
                                 "movepreset;left"};
const char* const kTyped[] = {"101.5", "1040", "Jazz", "3", "", "abc", "87.5", "-1"};

int EnvCount(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::atoi(value) : fallback;
}

size_t HeapInUse() {
#ifdef HALVANE_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

class LongRun : public robustness::RobustnessTest {
 protected:
  void SetUp() override {
    RobustnessTest::SetUp();
    const std::string home = SIM_DRIVER_HOME;
    sim_ = dlopen((home + "RadioModules/Halvane/Radio_IO.so").c_str(), RTLD_NOW);
    ASSERT_NE(sim_, nullptr) << dlerror();
    reset_ = reinterpret_cast<void (*)()>(dlsym(sim_, "HalvaneSimReset"));
    manual_ = reinterpret_cast<int32_t (*)(int32_t)>(dlsym(sim_, "HalvaneSimUseManualClock"));
    advance_ = reinterpret_cast<int32_t (*)(int32_t)>(dlsym(sim_, "HalvaneSimAdvanceClock"));
    ASSERT_TRUE(reset_ && manual_ && advance_);
    unsetenv("HALVANE_STATIONS");  // the built-in band
    reset_();
    manual_(1);
    sdk_->Var("DMPath", Variant(home));
    sdk_->Var("RadioDebug", Variant(false));
    sdk_->Var("scansecs", Variant(std::string("1")));
    // The seek's pause passes on the driver's clock, not the test's.
    component_->context().UseSleep(
        [this](std::chrono::milliseconds d) { advance_(static_cast<int32_t>(d.count())); });
    WriteMainList();
  }
  void TearDown() override {
    if (reset_) reset_();
    RobustnessTest::TearDown();
  }

  void Tick() {
    advance_(kTickMs);
    ASSERT_TRUE(FireStatusTick());
  }

  void RandomCommand(std::mt19937& random) {
    const std::string command = kCommands[random() % std::size(kCommands)];
    std::shared_ptr<fake::Screen> screen = fake::RadioScreen();
    if (command == "enter" && random() % 4 != 0) {
      screen = fake::KeyboardScreen();
      screen->txt[0]->text = Variant(std::string(kTyped[random() % std::size(kTyped)]));
    }
    const int rows = component_->presets().table().empty() ? 0 : component_->presets().Count();
    screen->plValue = Variant(static_cast<int32_t>(random() % (rows + 2)) - 1);
    screen->list->value = Variant(static_cast<int32_t>(random() % (rows + 2)) - 1);
    const robustness::Outcome o = Cmd(command, screen);
    if (!o.ok()) ++errors_[*o.error];
    // A stopped radio is started and made active again, as a host would after "radioreset".
    if (!radio_->IsActive()) {
      radio_->StartRadio();
      bool on = true;
      radio_->SetActive(on);
    }
  }

  // The heap in use with the store emptied (less the room it keeps for the next load), the search
  // stopped and the fakes' records dropped, so that what remains is what the plug-in and the
  // driver hold for themselves.
  size_t SettledHeap() {
    radio_->StopSearch();  // lets go of the screen learning drew on
    component_->presets().ResetPresets();
    std::vector<std::string>().swap(sdk_->asked);
    std::vector<std::string>().swap(sdk_->log);
    return HeapInUse() - component_->presets().table().HeapBytes();
  }

  std::map<int, int> errors_;
  void* sim_ = nullptr;
  void (*reset_)() = nullptr;
  int32_t (*manual_)(int32_t) = nullptr;
  int32_t (*advance_)(int32_t) = nullptr;
};

TEST_F(LongRun, TicksAndRandomCommandsNeitherFailNorGrowTheHeap) {
  const int ticks = EnvCount("HALVANE_LONG_RUN_TICKS", 10000);
  const int commands = EnvCount("HALVANE_LONG_RUN_COMMANDS", 1000);
  ASSERT_GT(ticks, kWarmUpTicks);
  ASSERT_GT(commands, 0);
  std::mt19937 random(20241207);
  StartActive();
  ASSERT_TRUE(component_->radio().radioReady());

  const int ticksPerCommand = std::max(1, ticks / commands);
  size_t baseline = 0, peak = 0;
  int done = 0, surfTicks = 0;
  for (int tick = 1; tick <= ticks; ++tick) {
    Tick();
    if (HasFatalFailure()) return;
    if (radio_->search().SurfTimer()->Running() &&
        tick % (radio_->search().SurfTimer()->Interval() / kTickMs + 1) == 0) {
      FireSurfTick();
      ++surfTicks;
    }
    if (tick % ticksPerCommand == 0 && done < commands) {
      RandomCommand(random);
      ++done;
    }
    if (tick == kWarmUpTicks) baseline = SettledHeap();
    if (tick > kWarmUpTicks && tick % (ticks / 10) == 0) peak = std::max(peak, SettledHeap());
  }
  const size_t end = SettledHeap();
  peak = std::max(peak, end);
  // A little slack for the allocator's own bookkeeping; a leak of even one string per tick or
  // command would pass it within the first checkpoint.
  constexpr size_t kSlack = 16 * 1024;
  EXPECT_LE(end, baseline + kSlack) << "the heap grew by " << (end - baseline) << " bytes";

  std::string errorText;
  for (auto [number, count] : errors_)
    errorText += " " + std::to_string(number) + "x" + std::to_string(count);
  robustness::Report("longrun",
                     "ticks=" + std::to_string(ticks) + " commands=" + std::to_string(done) +
                         " surf-ticks=" + std::to_string(surfTicks) +
                         " heap-after-first-minute=" + std::to_string(baseline) +
                         " heap-peak=" + std::to_string(peak) + " heap-end=" + std::to_string(end) +
                         " errors:" + (errorText.empty() ? " none" : errorText));
}

}  // namespace
