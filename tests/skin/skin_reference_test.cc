// The reference page for skin authors must list exactly the keywords, commands, host variables
// and programme-type keys the code knows, so it cannot drift from them.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "context/host_contract.h"
#include "markdown_page.h"
#include "plugin/command_table.h"
#include "plugin/skin_keywords.h"
#include "pty/pty_tables.h"

namespace {

std::vector<std::string> Section(const std::string& heading) {
  return markdown::Section(markdown::ReadPage(SKIN_REFERENCE), heading);
}

using markdown::Cells;
using markdown::FirstCellNames;

template <class Table>
std::set<std::string> KeywordsOf(const Table& table) {
  std::set<std::string> names;
  for (const auto& row : table) names.insert(std::string(row.keyword));
  return names;
}

TEST(SkinReference, ListsExactlyTheLabelKeywords) {
  EXPECT_EQ(FirstCellNames(Section("### Labels answered at any time")),
            KeywordsOf(halvane::skin::Labels()));
  EXPECT_EQ(FirstCellNames(Section("### Labels answered only while active")),
            KeywordsOf(halvane::skin::ActiveLabels()));
}

TEST(SkinReference, ListsExactlyTheIndicatorKeywords) {
  EXPECT_EQ(FirstCellNames(Section("### Indicators answered at any time")),
            KeywordsOf(halvane::skin::Indicators()));
  EXPECT_EQ(FirstCellNames(Section("### Indicators answered only while active")),
            KeywordsOf(halvane::skin::ActiveIndicators()));
}

TEST(SkinReference, ListsExactlyTheSliderKeywords) {
  EXPECT_EQ(FirstCellNames(Section("## Sliders")), KeywordsOf(halvane::skin::Sliders()));
}

TEST(SkinReference, ListsExactlyTheCommandWords) {
  std::set<std::string> words;
  for (const auto& row : halvane::CommandTable()) words.insert(std::string(row.word));
  EXPECT_EQ(FirstCellNames(Section("## Commands")), words);
}

TEST(SkinReference, ListsEveryHostVariable) {
  namespace v = halvane::hostvar;
  const std::set<std::string> read = {std::string(v::kRadioDebug), std::string(v::kDMPath),
                                      std::string(v::kUserbds),    std::string(v::kAllowAllFreqs),
                                      std::string(v::kScanSecs),   std::string(v::kArtPath),
                                      std::string(v::kFastMode),   "skinpath"};
  EXPECT_EQ(FirstCellNames(Section("## Host variables")), read);
}

TEST(SkinReference, ListsEveryProgrammeTypeWithItsDefaultNameAndKey) {
  std::map<std::string, std::vector<std::string>> rows;  // by code
  for (const auto& line : Section("### Programme-type names: `RDS.ini` and `RBDS.ini`"))
    if (line.rfind("| ", 0) == 0) rows[Cells(line)[0]] = Cells(line);
  struct Standard {
    std::span<const halvane::PtyDefault> table;
    size_t nameColumn;
  };
  for (const Standard& s :
       {Standard{halvane::RdsPtyDefaults(), 1}, Standard{halvane::RbdsPtyDefaults(), 3}}) {
    for (const auto& row : s.table) {
      const auto& cells = rows[std::to_string(row.code)];
      ASSERT_EQ(cells.size(), 5u) << row.code;
      EXPECT_EQ(cells[s.nameColumn], row.name) << row.code;
      EXPECT_EQ(cells[s.nameColumn + 1], "`" + std::string(row.key) + "`") << row.code;
    }
  }
}

TEST(SkinReference, NoKeywordIsEmptyOrTooLongToBeRecognised) {
  std::vector<std::string_view> all;
  for (const auto& r : halvane::skin::Labels()) all.push_back(r.keyword);
  for (const auto& r : halvane::skin::ActiveLabels()) all.push_back(r.keyword);
  for (const auto& r : halvane::skin::Indicators()) all.push_back(r.keyword);
  for (const auto& r : halvane::skin::ActiveIndicators()) all.push_back(r.keyword);
  for (const auto& r : halvane::skin::Sliders()) all.push_back(r.keyword);
  for (auto k : all) {
    EXPECT_FALSE(k.empty());
    EXPECT_EQ(halvane::skin::LoweredKeyword(k).view(), k) << k;
  }
}

}  // namespace
