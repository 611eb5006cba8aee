// Host objects that lack a member the plug-in calls, or whose member raises an error: the SDK
// object's four members and every member of the screen, its list and its text box. Where the
// plug-in ignores errors the call goes on; elsewhere the host's call fails with the error (438 for
// a missing member, the member's own for one that raises); no timer tick lets one out; and the
// list file changes only where a save came before the failure.
#include <filesystem>
#include <map>
#include <stdexcept>

#include "halvane/errors.h"
#include "robustness_fixture.h"

namespace {

using namespace halvane;

enum class Break { kRemove, kRaise };

// Takes a member away, or makes it raise error 5 (what a host's own failure looks like).
void BreakMember(MemberTable& object, const std::string& member, Break how) {
  if (how == Break::kRemove) {
    object.Remove(member);
  } else {
    object.Define(member, [member](CallKind, std::span<Variant>) -> Variant {
      Raise(kInvalidCall, "host member " + member + " failed");
    });
  }
}

std::string Describe(const robustness::Outcome& o) {
  return o.ok() ? o.value : "error " + std::to_string(*o.error);
}

class HostFault : public robustness::RobustnessTest, public ::testing::WithParamInterface<Break> {
 protected:
  int Expected() const { return GetParam() == Break::kRemove ? kNoMember : kInvalidCall; }
  std::string Err() const { return "error " + std::to_string(Expected()); }

  void Restart() {
    radio_->StopRadio();
    radio_->LocalMode(false);
    std::filesystem::remove(CacheDir() + "RadioLocal.ini");
    WriteMainList();
    StartActive();
  }

  // An intact SDK object in place of the one a step broke.
  void FreshSdk() {
    sdk_ = std::make_shared<fake::Sdk>();
    sdk_->Var("DMPath", Variant(testing_support::RecordingDriverHome() + "/"));
    sdk_->Var("RadioDebug", Variant(true));
    sdk_->Var("scansecs", Variant(std::string("30")));
    component_->context().Sdk(sdk_);
  }
};

// Screen, list or text box member → command → what it gives. The radio screen highlights row 2
// (preset 3) and chooses row 1 (preset 2, the current one); the keyboard screen holds "101.5".
const std::map<std::string, std::map<std::string, std::string>> kScreenCases = {
    {"Tag",
     {{"tuneup", "2"},
      {"tune", "E"},
      {"enter", "E"},
      {"movepreset;up", "E"},
      {"local", "2"},
      {"delpreset", "E"}}},
    {"ShowPL",
     {{"tuneup", "2"},
      {"tune", "0"},
      {"enter", "0"},
      {"movepreset;up", "E"},
      {"local", "E"},
      {"delpreset", "E"}}},
    {"PLValue",
     {{"tuneup", "2"},
      {"tune", "0"},
      {"enter", "0"},
      {"movepreset;up", "E"},
      {"local", "2"},
      {"delpreset", "2"}}},
    {"PL",
     {{"tuneup", "2"},
      {"tune", "E"},
      {"enter", "0"},
      {"movepreset;up", "E"},
      {"local", "E"},
      {"delpreset", "E"}}},
    {"txt",
     {{"tuneup", "2"},
      {"tune", "0"},
      {"enter", "E"},
      {"movepreset;up", "2"},
      {"local", "2"},
      {"delpreset", "2"}}},
    {"list Value",
     {{"tuneup", "2"},
      {"tune", "E"},
      {"enter", "0"},
      {"movepreset;up", "2"},
      {"local", "2"},
      {"delpreset", "E"}}},
    {"list Clear",
     {{"tuneup", "2"},
      {"tune", "0"},
      {"enter", "0"},
      {"movepreset;up", "E"},
      {"local", "E"},
      {"delpreset", "E"}}},
    // The local list is empty, so its redraw adds no row.
    {"list AddItem",
     {{"tuneup", "2"},
      {"tune", "0"},
      {"enter", "0"},
      {"movepreset;up", "E"},
      {"local", "2"},
      {"delpreset", "E"}}},
    {"list CenterList",
     {{"tuneup", "2"},
      {"tune", "0"},
      {"enter", "0"},
      {"movepreset;up", "E"},
      {"local", "E"},
      {"delpreset", "E"}}},
    {"text Text",
     {{"tuneup", "2"},
      {"tune", "0"},
      {"enter", "E"},
      {"movepreset;up", "2"},
      {"local", "2"},
      {"delpreset", "2"}}},
    {"text default",
     {{"tuneup", "2"},
      {"tune", "0"},
      {"enter", "E"},
      {"movepreset;up", "2"},
      {"local", "2"},
      {"delpreset", "2"}}},
};

TEST_P(HostFault, EveryScreenMemberMissingOrRaisingFailsExactlyTheCommandsThatCallIt) {
  WriteMainList();
  StartActive();
  for (const auto& [member, commands] : kScreenCases) {
    for (const auto& [command, expected] : commands) {
      Restart();
      auto radioScreen = fake::RadioScreen();
      radioScreen->plValue = Variant(int32_t{1});
      radioScreen->list->value = Variant(int32_t{2});
      component_->presets().SelectCurrentPreset(radioScreen);  // preset 2 holds 9580
      radioScreen->list->value = Variant(int32_t{2});
      auto keyboard = fake::KeyboardScreen();
      keyboard->txt[0]->text = Variant(std::string("101.5"));
      if (command == "enter") {
        ASSERT_EQ(Cmd("tune").value, "0");  // asked for on an intact screen
      }
      auto screen = command == "enter" ? keyboard : radioScreen;
      if (member.rfind("list ", 0) == 0) {
        BreakMember(*screen->list, member.substr(5), GetParam());
      } else if (member == "text default") {
        BreakMember(*screen->txt[0], std::string(kDefaultMember), GetParam());
      } else if (member.rfind("text ", 0) == 0) {
        BreakMember(*screen->txt[0], member.substr(5), GetParam());
      } else {
        BreakMember(*screen, member, GetParam());
      }

      const auto outcome = Cmd(command, screen);
      const std::string want = expected == "E" ? Err() : expected;
      EXPECT_EQ(Describe(outcome), want) << member << " broken, " << command;
      if (!outcome.ok() && command != "local") {
        EXPECT_EQ(CacheFile("Radio.ini"), kMainList) << member << " broken, " << command;
      }
      if (command == "enter" && !outcome.ok()) {
        EXPECT_EQ(radio_->oskCommand(), "tune") << "a failed confirmation keeps the request";
      }
    }
  }
  robustness::Report("faults", std::string("screen members ") +
                                   (GetParam() == Break::kRemove ? "missing" : "raising 5") +
                                   " | 11 members x 6 commands: only commands that call the " +
                                   "member fail, with " + Err() + "; highlighting ignores it");
}

TEST_P(HostFault, SdkMembersMissingOrRaising) {
  WriteMainList();
  // GetInfo broken from the start: no driver path, so the tuner never starts.
  BreakMember(*sdk_, "GetInfo", GetParam());
  Start();
  EXPECT_FALSE(component_->radio().radioReady());
  EXPECT_FALSE(radio_->Check());
  EXPECT_EQ(sdk_->errscrns.size(), 1u);
  EXPECT_EQ(Cmd("seekup").value, "0");
  EXPECT_TRUE(Trace().empty());
  radio_->StopRadio();
  EXPECT_EQ(CacheFile("Radio.ini"), kMainList);

  // GetInfo broken after a good start: only what reads a host variable without ignoring errors
  // fails; a restart keeps the driver path it had.
  FreshSdk();
  StartActive();
  BreakMember(*sdk_, "GetInfo", GetParam());
  EXPECT_EQ(Describe(Cmd("fineup")), "2");
  EXPECT_EQ(Describe(Cmd("scan")), Err());
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);  // set before the dwell was asked for
  EXPECT_EQ(Describe(Cmd("scan")), "2");          // and the next one stops it
  EXPECT_EQ(Describe(Run([&] { return radio_->GetArtwork(); })), "");
  EXPECT_EQ(Describe(Cmd("radioreset")), "2");
  EXPECT_TRUE(component_->radio().radioReady());

  // DMLOG broken while logging is on: a tune fails after the tuner was set (RDS left off), a
  // fine step skips the failed tune, and the ticks of a surf contain the failure of each step.
  FreshSdk();
  Restart();
  BreakMember(*sdk_, "DMLOG", GetParam());
  EXPECT_EQ(Describe(Cmd("rtune;96.8")), Err());
  EXPECT_EQ(Trace(), (std::vector<std::string>{"RDS_Stop(0)", "radioSetFrequency(0,96800000)"}));
  EXPECT_EQ(radio_->Freq(), 9580);  // the tune ended before it took the new frequency
  EXPECT_EQ(Describe(Cmd("fineup")), "2");
  radio_->StatusTimer()->Interval(3600000);  // only the surf's ticks are fired below
  EXPECT_EQ(Describe(Cmd("surf")), Err());   // its first step tunes, and fails
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
  for (int tick = 0; tick < 3; ++tick) EXPECT_TRUE(FireSurfTick());
  EXPECT_TRUE(radio_->search().SurfTimer()->Running());
  EXPECT_EQ(CacheFile("Radio.ini"), kMainList);

  // Errscrn and GetUserVar: only Check on a stopped radio and the "status" picture use them.
  FreshSdk();
  Restart();
  BreakMember(*sdk_, "Errscrn", GetParam());
  BreakMember(*sdk_, "GetUserVar", GetParam());
  EXPECT_EQ(Describe(Run([&] { return std::string(radio_->Check() ? "True" : "False"); })), "True");
  EXPECT_EQ(Describe(Run([&] { return Indicator("status"); })), Err());
  EXPECT_EQ(Describe(Run([&] { return Indicator("stereo"); })), "False");
  radio_->StopRadio();
  EXPECT_EQ(Describe(Run([&] { return Indicator("status"); })), "");  // inactive: not asked
  EXPECT_EQ(Describe(Run([&] { return std::string(radio_->Check() ? "True" : "False"); })), Err());
  robustness::Report("faults", std::string("SDK members ") +
                                   (GetParam() == Break::kRemove ? "missing" : "raising 5") +
                                   " | GetInfo before start: start fails, Check shows the " +
                                   "error screen; after start: scan fails, fine steps, " +
                                   "artwork and a restart go on; DMLOG: tunes fail after the " +
                                   "tuner was set, surf ticks contained; Errscrn: Check on a " +
                                   "stopped radio fails; GetUserVar: the status picture fails");
}

INSTANTIATE_TEST_SUITE_P(RemovedAndRaising, HostFault,
                         ::testing::Values(Break::kRemove, Break::kRaise), [](const auto& info) {
                           return info.param == Break::kRemove ? "Missing" : "Raising";
                         });

// A host member that throws something other than a run-time error: procedures that ignore
// errors ignore it too, and a tick contains it.
class HostException : public robustness::RobustnessTest {};

TEST_F(HostException, ForeignExceptionsAreIgnoredWhereErrorsAreAndContainedByTicks) {
  WriteMainList();
  StartActive();
  sdk_->Define("DMLOG", [](CallKind, std::span<Variant>) -> Variant {
    throw std::runtime_error("host logging crashed");
  });
  EXPECT_NO_THROW(Start());  // a second start only logs, and skips the failed line
  sdk_->Var("scansecs", Variant(std::string("30")));
  radio_->StatusTimer()->Interval(3600000);
  radio_->SearchMode(SModes::Surf);
  radio_->search().SurfTimer()->Interval(30000);
  radio_->search().SurfTimer()->Enabled(true);
  for (int tick = 0; tick < 3; ++tick) EXPECT_TRUE(FireSurfTick());
  EXPECT_TRUE(radio_->search().SurfTimer()->Running());
  auto screen = fake::RadioScreen();
  screen->Define("ShowPL", [](CallKind, std::span<Variant>) -> Variant {
    throw std::runtime_error("host screen crashed");
  });
  EXPECT_NO_THROW(component_->presets().SelectCurrentPreset(screen));
  robustness::Report(
      "faults",
      "host members throwing an exception of their own (not a run-time error) | ignored where "
      "errors are ignored, contained by ticks");
}

}  // namespace
