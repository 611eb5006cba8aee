// Every command word through DMRadio::ProcessCommand: its result and the tuner operations it
// reaches, the forms of its fields, and the entry checks.
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "plugin/command_table.h"

namespace {

using namespace halvane;
using namespace commands_test;

struct Row {
  const char* command;
  bool seekMode;
  bool presetMode;
  int16_t result;
  Calls calls;
};

std::ostream& operator<<(std::ostream& os, const Row& row) {
  return os << '"' << row.command << "\" seek " << row.seekMode << " preset " << row.presetMode;
}

// The seek calls from 95.90 MHz, finding a station on 98.00 MHz.
Calls Seek(bool up) {
  return {"RDS_Stop(0)", std::string("radioSearch(0,95900000,") + (up ? "1" : "0") + ",0)",
          "radioSetFrequency(0,98000000)", "radioGetFrequency(0,98000000)", "RDS_Start(0)"};
}

const Calls kNone;

class TunerCommands : public CommandTest, public ::testing::WithParamInterface<Row> {};

TEST_P(TunerCommands, ReachTheirOperation) {
  const Row& row = GetParam();
  radio_->SeekMode(row.seekMode);
  radio_->PresetMode(row.presetMode);
  driver_->script.searchFound = {98000000};
  EXPECT_EQ(Command(row.command), row.result);
  EXPECT_EQ(Trace(), row.calls);
}

// From 95.90 MHz on the channel plan, preset 2 of 3 current.
INSTANTIATE_TEST_SUITE_P(
    Words, TunerCommands,
    ::testing::Values(
        Row{"fineup", false, false, 2, TuneCalls(9610)},
        Row{"finedown", false, false, 2, TuneCalls(9570)},
        Row{"freq+", false, false, 2, TuneCalls(9610)}, Row{"freq+", true, false, 2, Seek(true)},
        Row{"freq-", false, false, 2, TuneCalls(9570)}, Row{"freq-", true, false, 2, Seek(false)},
        Row{"next", false, false, 2, TuneCalls(9610)}, Row{"next", true, false, 2, Seek(true)},
        Row{"next", true, true, 2, TuneCalls(10010)},
        Row{"dmnext", false, false, 2, TuneCalls(9610)},
        Row{"dmnext", true, true, 2, TuneCalls(10010)},
        Row{"prev", false, false, 2, TuneCalls(9570)}, Row{"prev", true, false, 2, Seek(false)},
        Row{"prev", false, true, 2, TuneCalls(8750)}, Row{"dmprev", true, false, 2, Seek(false)},
        Row{"dmprev", true, true, 2, TuneCalls(8750)},
        Row{"tuneup", false, false, 2, TuneCalls(9690)},
        Row{"tunedown", false, false, 2, TuneCalls(9490)},
        Row{"seekup", false, false, 2, Seek(true)}, Row{"seekdown", true, true, 2, Seek(false)},
        Row{"SEEKUP", false, false, 2, Seek(true)}, Row{"SeekUp", false, false, 2, Seek(true)},
        Row{"seekup;x", false, false, 2, Seek(true)},
        Row{"presetup", false, false, 2, TuneCalls(10010)},
        Row{"presetdown", false, false, 2, TuneCalls(8750)},
        Row{"mono", false, false, 2, Calls{"radioForceMono(0,1)"}},
        Row{"radiomute", false, false, 2, Calls{"VolumeMute(0,1)"}},
        Row{"radiomute;on;x", false, false, 2, Calls{"VolumeMute(0,1)"}},
        Row{"radiomute;ON", false, false, 2, Calls{"VolumeMute(0,1)"}},
        Row{"radiomute;true", false, false, 2, Calls{"VolumeMute(0,1)"}},
        Row{"radiomute;Off", false, false, 2, Calls{"VolumeMute(0,0)"}},
        Row{"radiomute;false", false, false, 2, Calls{"VolumeMute(0,0)"}},
        Row{"radiomute;maybe", false, false, 2, kNone}, Row{"radiomute;", false, false, 2, kNone},
        Row{"rtune;101.5", false, false, 2, TuneCalls(10150)},
        Row{"rtune;10150", false, false, 2, TuneCalls(10150)},
        Row{"RTUNE;1040", false, false, 2, TuneCalls(1040)}, Row{"rtune;0", false, false, 2, kNone},
        Row{"rtune;", false, false, 2, kNone}, Row{"rtune", false, false, 2, kNone},
        Row{"rtune;101.5;x", false, false, 2, kNone}, Row{"seekmode", false, false, 2, kNone},
        Row{"presetmode", false, false, 2, kNone}, Row{"tune", false, false, 0, kNone},
        Row{"preset", false, false, 0, kNone}, Row{"addpreset", false, false, 0, kNone},
        Row{"editpreset", false, false, 0, kNone}, Row{"enter", false, false, 0, kNone},
        Row{"fmam", false, false, 0, kNone}, Row{"seek up", false, false, 0, kNone},
        Row{";seekup", false, false, 0, kNone}, Row{"movepreset", false, false, 0, kNone},
        Row{"movepreset;left", false, false, 0, kNone}));

class Commands : public CommandTest {};

TEST_F(Commands, ModeWordsToggle) {
  Command("seekmode");
  EXPECT_TRUE(radio_->SeekMode());
  Command("SeekMode;x");
  EXPECT_FALSE(radio_->SeekMode());
  Command("presetmode");
  EXPECT_TRUE(radio_->PresetMode());
  Command("presetmode");
  EXPECT_FALSE(radio_->PresetMode());
}

TEST_F(Commands, RadiomuteToggleFollowsTheMuteState) {
  Command("radiomute;on");
  Command("radiomute");
  Command("radiomute;a;b");
  EXPECT_EQ(Trace(), (Calls{"VolumeMute(0,1)", "VolumeMute(0,0)", "VolumeMute(0,1)"}));
}

TEST_F(Commands, RadioresetRestartsTheTunerAndLeavesItInactive) {
  Running(SModes::Scan);
  EXPECT_EQ(Command("radioreset"), 2);
  EXPECT_EQ(Trace(), (Calls{"radioUninitialize()", "radioInitialize()", "VolumeMute(0,1)",
                            "RDS_Stop(0)", "radioSetFrequency(0,95900000)", "RDS_Start(0)"}));
  EXPECT_FALSE(radio_->IsActive());
  EXPECT_FALSE(Searching());
  EXPECT_TRUE(screen_->list->valuesWritten.empty());  // inactive: no highlight written
}

TEST_F(Commands, EmptyCommandReturnsAtOnce) {
  EXPECT_EQ(Command(""), 0);
  EXPECT_TRUE(screen_->events.empty());
  EXPECT_TRUE(screen_->list->events.empty());
}

TEST_F(Commands, EveryOtherCallEndsByHighlightingTheCurrentPreset) {
  EXPECT_EQ(Command(";"), 0);
  EXPECT_EQ(Command("nonsense"), 0);
  EXPECT_EQ(Command("movepreset;up;x"), 0);
  EXPECT_EQ(Command("fineup"), 2);  // to 96.10, no preset there
  EXPECT_EQ(Command("presetup"), 2);
  EXPECT_EQ(screen_->list->valuesWritten, (std::vector<int32_t>{1, 1, 1, -2, 0}));
}

TEST_F(Commands, AnInactivePluginAnswersZeroAndTouchesNothing) {
  Activate(false);
  Running(SModes::Surf);
  Forget();
  for (const CommandInfo& row : CommandTable()) {
    for (const std::string& form : {std::string(row.word), std::string(row.word) + ";up"}) {
      SCOPED_TRACE(form);
      EXPECT_EQ(Command(form), 0);
    }
  }
  EXPECT_EQ(Command(""), 0);
  EXPECT_TRUE(Trace().empty());
  EXPECT_TRUE(screen_->events.empty());
  EXPECT_TRUE(screen_->list->events.empty());
  EXPECT_TRUE(sdk_->asked.empty());
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
  EXPECT_FALSE(radio_->SeekMode());
  EXPECT_EQ(radio_->oskCommand(), "");
}

TEST_F(Commands, ErrorsReachTheHostAndSkipTheClosingSteps) {
  Running(SModes::Surf);
  EXPECT_EQ(ErrorOfCommand("rtune;fm"), kTypeMismatch);
  EXPECT_EQ(ErrorOfCommand("rtune;30000000"), kOverflow);  // 300 GHz in Hz overflows the driver's
  EXPECT_EQ(ErrorOfCommand("rtune;21474836.48"), kOverflow);
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);
  EXPECT_TRUE(screen_->list->valuesWritten.empty());
  EXPECT_EQ(Trace(), (Calls{"RDS_Stop(0)"}));  // the tune that overflowed got this far
}

TEST_F(Commands, TheCommandStringIsLeftAsSent) {
  std::string cmd = "SeekUp;X";
  std::shared_ptr<halvane::Dispatch> frm = screen_;
  radio_->ProcessCommand(cmd, frm);
  EXPECT_EQ(cmd, "SeekUp;X");
}

TEST_F(Commands, ByNameCallsReachTheSameDispatcher) {
  Variant args[2] = {Variant("TUNEUP"), Variant(std::shared_ptr<halvane::Dispatch>(screen_))};
  EXPECT_EQ(radio_->Invoke("processcommand", CallKind::Method, args), Variant(int16_t{2}));
  EXPECT_EQ(Trace(), TuneCalls(9690));
}

}  // namespace
