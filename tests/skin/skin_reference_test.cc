// The reference page for skin authors must list exactly the keywords, commands, host variables
// and programme-type keys the code knows, so it cannot drift from them.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/command_table.h"
#include "plugin/host_contract.h"
#include "plugin/skin_keywords.h"
#include "rds/pty_tables.h"

namespace {

std::string Page() {
  std::ifstream in(SKIN_REFERENCE);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int HeadingLevel(const std::string& line) {
  size_t n = line.find_first_not_of('#');
  return n != std::string::npos && n > 0 && line[n] == ' ' ? static_cast<int>(n) : 0;
}

// The lines under `heading` up to the next heading of the same or a higher level, fenced code
// blocks skipped; empty (and a failed expectation) when the page has no such heading.
std::vector<std::string> Section(const std::string& heading) {
  auto lines = Lines(Page());
  const int level = HeadingLevel(heading);
  std::vector<std::string> out;
  bool inside = false;
  bool fenced = false;
  for (const auto& line : lines) {
    if (line.rfind("```", 0) == 0) {
      fenced = !fenced;
      continue;
    }
    if (fenced) continue;
    const int l = HeadingLevel(line);
    if (inside && l > 0 && l <= level) break;
    if (inside) out.push_back(line);
    if (line == heading) inside = true;
  }
  EXPECT_TRUE(inside) << "no heading " << heading;
  return out;
}

// A table row's cells, blanks around each removed.
std::vector<std::string> Cells(const std::string& row) {
  std::vector<std::string> cells;
  size_t start = 1;
  for (size_t bar = row.find('|', start); bar != std::string::npos; bar = row.find('|', start)) {
    std::string cell = row.substr(start, bar - start);
    const size_t first = cell.find_first_not_of(' ');
    const size_t last = cell.find_last_not_of(' ');
    cells.push_back(first == std::string::npos ? "" : cell.substr(first, last - first + 1));
    start = bar + 1;
  }
  return cells;
}

// Every `code` span in the first cell of the section's table rows.
std::set<std::string> FirstCellNames(const std::vector<std::string>& section) {
  std::set<std::string> names;
  for (const auto& line : section) {
    if (line.rfind("| ", 0) != 0) continue;
    const std::string cell = line.substr(2, line.find(" |", 1) - 2);
    for (size_t open = cell.find('`'); open != std::string::npos;) {
      size_t close = cell.find('`', open + 1);
      if (close == std::string::npos) break;
      names.insert(cell.substr(open + 1, close - open - 1));
      open = cell.find('`', close + 1);
    }
  }
  return names;
}

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
