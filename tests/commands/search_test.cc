// Starting and stopping scan, surf and preset learning, and which commands stop a running search.
#include <gtest/gtest.h>

#include <set>

#include "command_fixture.h"
#include "plugin/command_table.h"

namespace {

using namespace halvane;
using namespace commands_test;

class Searches : public CommandTest {
 protected:
  // A form of each command word that keeps its row's rule and harms nothing around it.
  static std::string Form(std::string_view word) {
    if (word == "movepreset") return "movepreset;down";
    if (word == "radiomute") return "radiomute;maybe";
    if (word == "rtune") return "rtune;0";
    if (word == "loadpresets" || word == "loadlist") return std::string(word) + ";";
    if (word == "loadpreset") return "loadpreset;Missing";
    if (word == "savepreset") return "savepreset;Home";
    return std::string(word);
  }
  // Sends the word in its harmless form. "delpreset" goes to a screen without the list, where it
  // deletes nothing (on the radio screen an earlier "clearpresets" would make it fail); a
  // "radioreset" leaves the radio inactive, so it is made active again.
  void Send(std::string_view word) {
    Command(Form(word), word == "delpreset" ? fake::PlainScreen() : nullptr);
    if (!radio_->IsActive()) Activate(true);
  }
  static std::set<std::string_view> Words() {
    std::set<std::string_view> words;
    for (const CommandInfo& row : CommandTable()) words.insert(row.word);
    return words;
  }
};

struct Dwell {
  Variant scansecs;
  int32_t intervalMs;
};

std::ostream& operator<<(std::ostream& os, const Dwell& d) {
  return os << "scansecs " << d.scansecs.ToString();
}

class ScanDwell : public Searches, public ::testing::WithParamInterface<Dwell> {};

TEST_P(ScanDwell, ScanStepsEveryScansecsAndSeeksAtOnce) {
  sdk_->Var("scansecs", GetParam().scansecs);
  driver_->script.searchFound = {98000000};
  EXPECT_EQ(Command("scan"), 2);
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);
  EXPECT_EQ(surfTimer().Interval(), GetParam().intervalMs);
  EXPECT_TRUE(surfTimer().Enabled());
  EXPECT_TRUE(surfTimer().Running());
  EXPECT_EQ(sdk_->asked, (Calls{"=$scansecs$"}));
  EXPECT_EQ(Trace()[1], "radioSearch(0,95900000,1,0)");
  EXPECT_EQ(radio_->Freq(), 9800);
}

INSTANTIATE_TEST_SUITE_P(Values, ScanDwell,
                         ::testing::Values(Dwell{Variant("0"), 10000}, Dwell{Variant(""), 10000},
                                           Dwell{Variant("2.5"), 2500},
                                           Dwell{Variant("32.767"), 32767},
                                           Dwell{Variant(" 5 seconds"), 5000},
                                           Dwell{Variant(2.5), 2500},
                                           Dwell{Variant("0.0001"), 10000}));

TEST_F(Searches, SurfStepsToTheNextPresetAtOnce) {
  sdk_->Var("scansecs", Variant("3"));
  EXPECT_EQ(Command("Surf"), 2);
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
  EXPECT_EQ(surfTimer().Interval(), 3000);
  EXPECT_TRUE(surfTimer().Running());
  EXPECT_EQ(Trace(), TuneCalls(10010));
}

TEST_F(Searches, TheSameCommandAgainStopsTheSearch) {
  for (const char* word : {"scan", "surf", "searchpresets"}) {
    SCOPED_TRACE(word);
    Command(word);
    ASSERT_TRUE(Searching());
    Forget();
    EXPECT_EQ(Command(word), 2);
    EXPECT_FALSE(Searching());
    EXPECT_FALSE(surfTimer().Enabled());
    EXPECT_TRUE(Trace().empty());  // stopping takes no step
  }
}

TEST_F(Searches, AnySearchCommandStopsAnotherSearch) {
  Command("scan");
  EXPECT_EQ(Command("surf"), 2);
  EXPECT_FALSE(Searching());
  Command("searchpresets");
  EXPECT_EQ(Command("scan"), 2);
  EXPECT_FALSE(Searching());
}

TEST_F(Searches, ADwellBeyond16BitsFailsAfterTheModeIsSet) {
  sdk_->Var("scansecs", Variant("33"));
  EXPECT_EQ(ErrorOfCommand("scan"), kOverflow);
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);
  EXPECT_FALSE(surfTimer().Enabled());
  EXPECT_EQ(surfTimer().Interval(), 0);
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(Command("tuneup"), 2);  // a scan is not stopped by other commands
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);
  EXPECT_EQ(Command("surf"), 2);  // the next search command stops it
  EXPECT_FALSE(Searching());
  EXPECT_EQ(ErrorOfCommand("surf"), kOverflow);
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
}

TEST_F(Searches, ANegativeDwellKeepsThePreviousInterval) {
  sdk_->Var("scansecs", Variant("-2"));
  EXPECT_EQ(Command("scan"), 2);
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);
  EXPECT_TRUE(surfTimer().Enabled());
  EXPECT_EQ(surfTimer().Interval(), 0);
  EXPECT_FALSE(surfTimer().Running());   // no interval yet: no ticks come
  EXPECT_EQ(Trace()[0], "RDS_Stop(0)");  // the first seek still runs
  Command("scan");
  sdk_->Var("scansecs", Variant("4"));
  Command("scan");
  Command("scan");
  sdk_->Var("scansecs", Variant("-1"));
  Command("surf");
  EXPECT_EQ(surfTimer().Interval(), 4000);
  EXPECT_TRUE(surfTimer().Running());
}

TEST_F(Searches, WithoutAHostSdkTheScanFailsAfterTheModeIsSet) {
  component_->context().Sdk(nullptr);
  EXPECT_EQ(ErrorOfCommand("scan"), kNoObject);
  EXPECT_EQ(radio_->SearchMode(), SModes::Scan);
}

TEST_F(Searches, PresetSearchStartsOnAnEmptyLocalListAtTheBottomOfTheBand) {
  EXPECT_EQ(Command("searchpresets"), 2);
  EXPECT_EQ(radio_->SearchMode(), SModes::PresetLearn);
  EXPECT_EQ(radio_->search().Screen(), std::static_pointer_cast<halvane::Dispatch>(screen_));
  EXPECT_TRUE(radio_->LocalMode());
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(screen_->list->rows, Calls{});
  EXPECT_EQ(screen_->list->events.back(), "Value=-2");
  EXPECT_EQ(Trace(), TuneCalls(8750));
  EXPECT_EQ(surfTimer().Interval(), 1000);
  EXPECT_TRUE(surfTimer().Running());
  // The main list was saved as it was left; the local list is not touched until a station is
  // stored.
  EXPECT_EQ(testing_support::ReadFile(CacheDir() + "Radio.ini"), kMainList);
  EXPECT_EQ(testing_support::ReadFile(CacheDir() + "RadioLocal.ini"), kLocalList);
}

// A run that starts where an earlier run stopped must still seek on its first tick.
TEST_F(Searches, ANewLearningRunSeeksOnItsFirstTickWhereverTheLastRunStopped) {
  Command("searchpresets");
  surfTimer().RaiseTimer();  // sees 87.50 MHz, stores nothing, seeks
  Command("tuneup");         // stops the run right after its start
  ASSERT_FALSE(Searching());
  ASSERT_EQ(radio_->search().LastLearnFreq(), 8750);
  Command("searchpresets");
  Forget();
  driver_->script.searchFound = {90000000};
  surfTimer().RaiseTimer();
  EXPECT_EQ(Trace()[1], "radioSearch(0,87500000,1,0)");
  EXPECT_EQ(radio_->Freq(), 9000);
}

TEST_F(Searches, SurfIsStoppedByEveryRecognisedCommandButTheSearchAndUpwardSeekWords) {
  for (std::string_view word : Words()) {
    SCOPED_TRACE(std::string(word));
    Running(SModes::Surf);
    Send(word);
    // "scan" and "surf" stop it themselves.
    EXPECT_EQ(radio_->SearchMode() == SModes::Surf, word == "seekup" || word == "freq+");
    radio_->StopSearch();
  }
  radio_->SeekMode(true);
  Running(SModes::Surf);
  Command("FREQ+;x");
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
  Command("next");  // seeks up too, but is another word
  EXPECT_EQ(radio_->SearchMode(), SModes::Disabled);
}

TEST_F(Searches, PresetLearningIsStoppedByEveryRecognisedCommand) {
  for (std::string_view word : Words()) {
    SCOPED_TRACE(std::string(word));
    Running(SModes::PresetLearn);
    Send(word);
    EXPECT_FALSE(Searching());
  }
}

// "radioreset" stops every search by stopping the radio; every other word leaves a scan alone.
TEST_F(Searches, ScanIsStoppedOnlyBySearchCommands) {
  const std::set<std::string_view> stoppers = {"scan", "surf", "searchpresets", "radioreset"};
  for (std::string_view word : Words()) {
    SCOPED_TRACE(std::string(word));
    Running(SModes::Scan);
    Send(word);
    EXPECT_EQ(radio_->SearchMode() == SModes::Scan, !stoppers.count(word));
    radio_->StopSearch();
  }
}

TEST_F(Searches, UnrecognisedAndMalformedCommandsStopNothing) {
  for (SModes mode : {SModes::Surf, SModes::PresetLearn}) {
    Running(mode);
    for (const char* cmd : {";", "fmam", "movepreset", "movepreset;left", "movepreset;up;x"}) {
      SCOPED_TRACE(cmd);
      EXPECT_EQ(Command(cmd), 0);
      EXPECT_EQ(radio_->SearchMode(), mode);
    }
  }
}

}  // namespace
