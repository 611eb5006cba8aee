// The host's objects as the plug-in calls them: by member name, without regard to case.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "error_of.h"
#include "halvane/errors.h"
#include "halvane/plugin.h"
#include "key_bindings.h"
#include "keyboard_prompt.h"
#include "screen_objects.h"
#include "sdk_object.h"

namespace host {
namespace {

using halvane::CallKind;
using halvane::Variant;

Variant Call(const std::shared_ptr<halvane::Dispatch>& o, std::string_view member,
             std::vector<Variant> args = {}) {
  return o->Invoke(member, CallKind::Method, args);
}

using testing_support::ErrorOf;

// The latest failed-save line is kept until a later save succeeds; other lines leave it alone.
TEST(SdkObject, KeepsTheLatestFailedSaveUntilASaveSucceeds) {
  auto sdk = std::make_shared<SdkObject>();
  const std::string failed = std::string(HALVANE_LOG_SAVE_FAILED) + "/d/Radio.ini: ";
  const std::pair<std::string, std::string> steps[] = {
      {"Halvane---> StartRadio", ""},
      {failed + "Permission denied", failed + "Permission denied"},
      {failed + "No space left on device", failed + "No space left on device"},
      {"Halvane---> LCID=1031", failed + "No space left on device"},
      {std::string(HALVANE_LOG_SAVED_AGAIN) + "/d/Radio.ini", ""},
  };
  for (const auto& [line, notice] : steps) {
    Call(sdk, "DMLOG", {Variant(line)});
    EXPECT_EQ(sdk->LatestNotice(), notice) << line;
    // What the faces show: the line without the log's prefix.
    EXPECT_EQ(sdk->LatestNoticeText(), notice.empty() ? "" : notice.substr(12)) << line;
  }
  EXPECT_EQ(sdk->TakeLog().size(), 5u);
  EXPECT_EQ(sdk->LatestNotice(), "");
}

TEST(SdkObject, AnswersVariablesByTheirRequestAndUnsetOnesEmpty) {
  auto sdk = std::make_shared<SdkObject>();
  sdk->SetVariable("scansecs", "2.5");
  sdk->SetVariable("DMPath", "/opt/radio");  // a folder: gets its "/"
  sdk->SetUserVariable("skinpath", "/skins/blue");
  EXPECT_EQ(Call(sdk, "GetInfo", {Variant("=$scansecs$")}), Variant("2.5"));
  EXPECT_EQ(Call(sdk, "getinfo", {Variant("=$SCANSECS$")}), Variant("2.5"));
  EXPECT_EQ(Call(sdk, "GetInfo", {Variant("=$dmpath$")}), Variant("/opt/radio/"));
  EXPECT_EQ(Call(sdk, "GetInfo", {Variant("=$Userbds$")}), Variant(""));
  EXPECT_EQ(Call(sdk, "GetInfo", {Variant("scansecs")}), Variant(""));
  EXPECT_EQ(Call(sdk, "GetUserVar", {Variant("skinpath")}), Variant("/skins/blue/"));
  EXPECT_EQ(ErrorOf([&] { Call(sdk, "GetInfo"); }), halvane::kArgumentNotOptional);
  EXPECT_EQ(ErrorOf([&] { Call(sdk, "Launch"); }), halvane::kNoMember);
}

TEST(SdkObject, KeepsLogLinesAndErrorScreensUntilTaken) {
  auto sdk = std::make_shared<SdkObject>();
  int shown = 0;
  sdk->onErrorScreen = [&](const ErrorScreen& s) { shown += static_cast<int>(s.size()); };
  Call(sdk, "DMLOG", {Variant("one")});
  Call(sdk, "DMLOG", {Variant("two")});
  Call(sdk, "Errscrn", {Variant("Radio"), Variant("Device Error"), Variant("m"), Variant(true)});
  EXPECT_EQ(shown, 4);
  EXPECT_EQ(sdk->TakeLog(), (std::vector<std::string>{"one", "two"}));
  EXPECT_TRUE(sdk->TakeLog().empty());
  auto screens = sdk->TakeErrorScreens();
  ASSERT_EQ(screens.size(), 1u);
  EXPECT_EQ(screens[0][3], Variant(true));
  EXPECT_TRUE(sdk->TakeErrorScreens().empty());
}

TEST(ScreenObject, OffersTheMembersThePluginCalls) {
  auto screen = MakeRadioScreen();
  std::shared_ptr<halvane::Dispatch> frm = screen;
  EXPECT_EQ(halvane::GetProperty(frm, "Tag"), Variant("radio_player.skin"));
  EXPECT_EQ(halvane::GetProperty(frm, "showpl"), Variant(true));
  screen->plValue = 3;
  EXPECT_EQ(halvane::GetProperty(frm, "PLValue"), Variant(int32_t{3}));
  // One chosen row: the list's Value written by the plug-in is what PLValue answers next.
  halvane::PutProperty(halvane::GetProperty(frm, "PL").ToObject(), "Value", Variant(int32_t{1}));
  EXPECT_EQ(halvane::GetProperty(frm, "PLValue"), Variant(int32_t{1}));

  auto pl = halvane::GetProperty(frm, "PL").ToObject();
  Call(pl, "AddItem", {Variant("1. 87.5 - A")});
  Call(pl, "AddItem", {Variant("2. 89.3 - B")});
  Call(pl, "CenterList");
  halvane::PutProperty(pl, "Value", Variant(int32_t{-2}));
  EXPECT_EQ(screen->list->rows.size(), 2u);
  EXPECT_EQ(halvane::GetProperty(pl, "Value"), Variant(int32_t{-2}));
  Call(pl, "Clear");
  EXPECT_TRUE(screen->list->rows.empty());

  // txt(0): its Text and its default value are the same text.
  std::vector<Variant> index{Variant(int16_t{0})};
  auto box = frm->Invoke("txt", CallKind::PropertyGet, index).ToObject();
  screen->txt[0]->text = "101.5";
  EXPECT_EQ(halvane::GetProperty(box, "Text"), Variant("101.5"));
  EXPECT_EQ(halvane::GetProperty(box, halvane::kDefaultMember), Variant("101.5"));
  std::vector<Variant> beyond{Variant(int16_t{1})};
  EXPECT_EQ(ErrorOf([&] { frm->Invoke("txt", CallKind::PropertyGet, beyond); }),
            halvane::kSubscriptRange);
  EXPECT_EQ(ErrorOf([&] { halvane::PutProperty(frm, "Tag", Variant("x")); }), halvane::kNoMember);
}

TEST(ScreenObject, ScreensTellThemselvesApartByTagAndList) {
  EXPECT_EQ(MakeKeyboardScreen()->tag, "osk.skin");
  EXPECT_FALSE(MakeKeyboardScreen()->showPL);
  EXPECT_EQ(MakePlainScreen()->tag, "main.skin");
  EXPECT_FALSE(MakePlainScreen()->showPL);
}

TEST(KeyboardPrompt, EditsWholeCharactersAndRefusesControls) {
  KeyboardPrompt p("addpreset");
  for (char32_t c : std::u32string(U"Café€\n\x1b")) p.Insert(c);
  EXPECT_EQ(p.text(), "Café€");
  p.Backspace();
  EXPECT_EQ(p.text(), "Café");
  p.Backspace();
  EXPECT_EQ(p.text(), "Caf");
  EXPECT_FALSE(p.IsCommandLine());
  EXPECT_TRUE(KeyboardPrompt("").IsCommandLine());
  KeyboardPrompt empty("tune");
  empty.Backspace();
  EXPECT_EQ(empty.text(), "");
}

TEST(KeyBindings, EveryKeyIsBoundOnceAndTheKeyboardWordsAreKnown) {
  std::set<int> keys;
  for (const KeyBinding& b : KeyBindings()) {
    EXPECT_TRUE(keys.insert(b.key).second) << b.name;
    if (b.action == KeyAction::Command) {
      EXPECT_NE(b.command, nullptr) << b.name;
    }
  }
  ASSERT_NE(FindKeyBinding('\r'), nullptr);
  EXPECT_EQ(FindKeyBinding('\r')->action, KeyAction::RecallHighlight);
  EXPECT_EQ(FindKeyBinding('q')->action, KeyAction::Quit);
  EXPECT_EQ(FindKeyBinding('Z'), nullptr);
  EXPECT_TRUE(IsKeyboardCommand("AddPreset"));
  EXPECT_FALSE(IsKeyboardCommand("tune;5"));  // the plug-in records the whole string
  EXPECT_NE(KeyHelpText().find("learn presets"), std::string::npos);
}

}  // namespace
}  // namespace host
