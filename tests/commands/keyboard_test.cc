// The on-screen keyboard dialogue: a keyboard word records the request, "enter" from the keyboard
// screen acts on what was typed, in locales with either decimal separator.
#include <gtest/gtest.h>

#include "command_fixture.h"

namespace {

using namespace halvane;
using namespace commands_test;

class Keyboard : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    keyboard_ = fake::KeyboardScreen();
  }
  // The user types `text` on the keyboard screen and confirms.
  int16_t Type(const std::string& text) {
    keyboard_->txt[0]->text = Variant(text);
    return Command("enter", keyboard_);
  }
  int ErrorOfTyping(const std::string& text) {
    return ErrorOf([&] { Type(text); });
  }
  void ExpectIdle() {
    EXPECT_EQ(radio_->oskCommand(), "");
    EXPECT_EQ(radio_->oskPresetRow(), -1);
  }

  std::shared_ptr<fake::Screen> keyboard_;
};

struct Typed {
  const char* decimal;
  const char* grouping;
  const char* text;
  int32_t tuned;
};

std::ostream& operator<<(std::ostream& os, const Typed& t) {
  return os << '"' << t.text << "\" with decimal " << t.decimal;
}

class KeyboardTune : public Keyboard, public ::testing::WithParamInterface<Typed> {};

TEST_P(KeyboardTune, TunesToTheTypedFrequency) {
  const Typed& t = GetParam();
  SetLocale(t.decimal, t.grouping, 1031);
  EXPECT_EQ(Command("tune"), 0);
  EXPECT_EQ(Type(t.text), 0);
  EXPECT_EQ(Trace(), TuneCalls(t.tuned));
  EXPECT_EQ(radio_->Freq(), t.tuned);
  ExpectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, KeyboardTune,
    ::testing::Values(Typed{".", ",", "101.5", 10150}, Typed{".", ",", "98.7", 9870},
                      Typed{".", ",", "1040", 1040}, Typed{".", ",", "0", 0},
                      Typed{".", ",", " 87.5050001 ", 8750}, Typed{",", ".", "101,5", 10150},
                      Typed{",", ".", "98,7", 9870}, Typed{",", ".", "1040", 1040}));

TEST_F(Keyboard, AFrequencyThatIsNoLocaleNumberFailsAndKeepsTheRequest) {
  Command("tune");
  Running(SModes::Surf);
  EXPECT_EQ(ErrorOfTyping("1040 kHz"), kTypeMismatch);
  EXPECT_EQ(ErrorOfTyping(""), kTypeMismatch);
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(radio_->oskCommand(), "tune");
  EXPECT_EQ(radio_->SearchMode(), SModes::Surf);  // the closing steps did not run
  EXPECT_EQ(Type("100.1"), 0);                    // the next try goes through
  EXPECT_EQ(Trace(), TuneCalls(10010));
  EXPECT_FALSE(Searching());
  ExpectIdle();
}

TEST_F(Keyboard, TheDefaultValueOfTheTextBoxChoosesTheScale) {
  keyboard_->txt[0]->Define(std::string(kDefaultMember),
                            [](CallKind, std::span<Variant>) { return Variant("1040"); });
  Command("tune");
  Type("101.5");
  EXPECT_EQ(Trace(), TuneCalls(102));  // 101.5 taken unscaled, ties to even
}

TEST_F(Keyboard, RecallsTheTypedPresetNumber) {
  Command("Preset");
  EXPECT_EQ(Type("3"), 0);
  EXPECT_EQ(Trace(), TuneCalls(10010));
  EXPECT_EQ(presets().currentPreset(), 3);
  ExpectIdle();
  Command("preset");
  Type("1 please");
  Command("preset");
  Type("9");  // no such preset
  EXPECT_EQ(radio_->Freq(), 8750);
}

TEST_F(Keyboard, APresetNumberBeyond16BitsFailsAndKeepsTheRequest) {
  Command("preset");
  EXPECT_EQ(ErrorOfTyping("32768"), kOverflow);
  EXPECT_EQ(radio_->oskCommand(), "preset");
  EXPECT_EQ(ErrorOfTyping("-32769"), kOverflow);
  EXPECT_EQ(Type("32767"), 0);  // in range: no such preset, nothing tuned
  EXPECT_TRUE(Trace().empty());
  ExpectIdle();
}

TEST_F(Keyboard, AddsThePresetUnderTheTypedName) {
  Command("addpreset");
  EXPECT_EQ(Type("Jazz FM"), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"One", "Two", "Three", "Jazz FM"}));
  EXPECT_EQ(presets().presetFreqs(presets().Count()), "9590");
  EXPECT_NE(testing_support::ReadFile(CacheDir() + "Radio.ini").find("9590,Jazz FM\r\n"),
            std::string::npos);
  ExpectIdle();
}

TEST_F(Keyboard, EditFromTheRadioScreenRenamesTheRowHighlightedThen) {
  screen_->list->value = Variant(int32_t{2});
  screen_->plValue = Variant(int32_t{0});  // the list's own Value counts, not PLValue
  EXPECT_EQ(Command("EditPreset"), 0);
  EXPECT_EQ(radio_->oskCommand(), "editpreset");
  EXPECT_EQ(radio_->oskPresetRow(), 2);
  screen_->list->value = Variant(int32_t{0});
  EXPECT_EQ(Type("News"), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"One", "Two", "News"}));
  ExpectIdle();
}

TEST_F(Keyboard, EditFromAnotherScreenRenamesNothing) {
  auto plain = fake::PlainScreen();
  Command("editpreset", plain);
  EXPECT_EQ(radio_->oskPresetRow(), -1);
  EXPECT_TRUE(plain->list->events.empty());
  EXPECT_EQ(Type("News"), 0);
  EXPECT_EQ(Names(), (std::vector<std::string>{"One", "Two", "Three"}));
}

TEST_F(Keyboard, EnterFromAnotherScreenOnlyClearsTheRequest) {
  Command("tune");
  auto plain = fake::PlainScreen();
  plain->txt[0]->text = Variant("101.5");
  EXPECT_EQ(Command("enter", plain), 0);
  ExpectIdle();
  EXPECT_EQ(Type("101.5"), 0);  // nothing pending any more
  EXPECT_TRUE(Trace().empty());
  for (const std::string& e : keyboard_->events) EXPECT_NE(e, "txt(0)?");
}

TEST_F(Keyboard, OnlyTheBareWordIsConfirmed) {
  Command("tune;5");
  EXPECT_EQ(radio_->oskCommand(), "tune;5");
  EXPECT_EQ(Type("101.5"), 0);
  EXPECT_TRUE(Trace().empty());
  ExpectIdle();
}

TEST_F(Keyboard, ALaterRequestReplacesTheEarlierOne) {
  screen_->list->value = Variant(int32_t{1});
  Command("editpreset");
  Command("TUNE");
  EXPECT_EQ(radio_->oskCommand(), "tune");
  EXPECT_EQ(radio_->oskPresetRow(), 1);
  Command("fineup");  // other commands leave the request alone
  EXPECT_EQ(radio_->oskCommand(), "tune");
  Type("99.9");
  EXPECT_EQ(radio_->Freq(), 9990);
  EXPECT_EQ(Names(), (std::vector<std::string>{"One", "Two", "Three"}));
}

TEST_F(Keyboard, AScreenWithoutTheMembersTheDialogueReadsFails) {
  auto bare = std::make_shared<MemberTable>();
  std::shared_ptr<halvane::Dispatch> frm = bare;
  std::string cmd = "tune";
  EXPECT_EQ(ErrorOf([&] { radio_->ProcessCommand(cmd, frm); }), kNoMember);
  frm = nullptr;
  cmd = "enter";
  EXPECT_EQ(ErrorOf([&] { radio_->ProcessCommand(cmd, frm); }), kNoObject);
  EXPECT_EQ(radio_->oskCommand(), "tune");  // recorded before the screen was asked
  keyboard_->txt.clear();
  EXPECT_EQ(ErrorOfCommand("enter", keyboard_), kSubscriptRange);
  EXPECT_EQ(radio_->oskCommand(), "tune");
}

}  // namespace
