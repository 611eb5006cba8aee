// The page for skin authors lists exactly what a skin can bind and the actions its buttons can
// name, and the radio binds exactly the keywords the plug-in answers (as the skin reference lists
// them, which the plug-in's own tests hold to its tables), so neither can drift.
#include <gtest/gtest.h>

#include "binding_keywords.h"
#include "letter_keys.h"
#include "markdown_page.h"

namespace gtktest {
namespace {

using host::gtk::BindingKind;

std::set<std::string> Documented(const std::string& heading) {
  return markdown::FirstCellNames(markdown::Section(markdown::ReadPage(SKINS_PAGE), heading));
}

std::set<std::string> KeywordsOf(BindingKind kind) {
  std::set<std::string> names;
  for (const auto& info : host::gtk::BindingKinds())
    if (info.kind == kind)
      for (std::string_view k : info.keywords) names.insert(std::string(k));
  return names;
}

// The keywords the plug-in answers, from the sections of its skin reference.
std::set<std::string> Answered(std::initializer_list<const char*> headings) {
  std::set<std::string> names;
  for (const char* heading : headings)
    names.merge(
        markdown::FirstCellNames(markdown::Section(markdown::ReadPage(SKIN_REFERENCE), heading)));
  return names;
}

TEST(SkinsPage, ListsExactlyTheKeywordsOfEachBinding) {
  const struct {
    BindingKind kind;
    const char* heading;
  } sections[] = {{BindingKind::Label, "### Labels"},
                  {BindingKind::Indicator, "### Indicators"},
                  {BindingKind::Slider, "### Sliders"},
                  {BindingKind::Artwork, "### Pictures"},
                  {BindingKind::Host, "### The host's own texts"}};
  for (const auto& s : sections) EXPECT_EQ(Documented(s.heading), KeywordsOf(s.kind)) << s.heading;
}

TEST(SkinsPage, ListsEveryKindOfIdAndEveryAction) {
  std::set<std::string> ids = {"screen",
                               "PL",
                               "txt.0",
                               host::gtk::kLetterPadId,
                               host::gtk::kNumberPadId,
                               host::gtk::kMorePanelId};
  for (const auto& info : host::gtk::BindingKinds())
    ids.insert(std::string(info.prefix) + (info.kind == BindingKind::Row ? ".N" : ".KEYWORD"));
  EXPECT_EQ(Documented("## Widgets by id"), ids);

  std::set<std::string> actions;
  for (const auto& action : host::gtk::SkinActions())
    actions.insert("radio." + std::string(action.name));
  EXPECT_EQ(Documented("## Buttons: the radio actions"), actions);
}

TEST(SkinsPage, TheRadioBindsExactlyWhatThePlugInAnswers) {
  const std::set<std::string> labels =
      Answered({"### Labels answered at any time", "### Labels answered only while active"});
  const std::set<std::string> indicators = Answered(
      {"### Indicators answered at any time", "### Indicators answered only while active"});
  const std::set<std::string> sliders = Answered({"## Sliders"});
  EXPECT_EQ(KeywordsOf(BindingKind::Label), labels);
  std::set<std::string> bound = KeywordsOf(BindingKind::Indicator);
  for (const std::string& picture : KeywordsOf(BindingKind::Artwork)) {
    EXPECT_TRUE(indicators.count(picture)) << picture;
    EXPECT_TRUE(bound.insert(picture).second) << picture << " is both a picture and an indicator";
  }
  EXPECT_EQ(bound, indicators);
  EXPECT_EQ(KeywordsOf(BindingKind::Slider), sliders);
}

TEST(SkinsPage, ParsesIdsAsTheTablesSay) {
  std::string unknown;
  auto label = host::gtk::ParseBindingId("label.RDSName", unknown);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->kind, BindingKind::Label);
  EXPECT_EQ(label->keyword, "rdsname");
  EXPECT_TRUE(host::gtk::ParseBindingId("row.12", unknown));
  for (const char* plain : {"box", "txt.0", "my.widget"}) {
    EXPECT_FALSE(host::gtk::ParseBindingId(plain, unknown)) << plain;
    EXPECT_EQ(unknown, "") << plain;
  }
  for (const char* wrong : {"row.0", "row.x", "indicator.frequency", "slider.", "artwork.stereo"}) {
    EXPECT_FALSE(host::gtk::ParseBindingId(wrong, unknown)) << wrong;
    EXPECT_NE(unknown.find(wrong), std::string::npos) << unknown;
  }
}

}  // namespace
}  // namespace gtktest
