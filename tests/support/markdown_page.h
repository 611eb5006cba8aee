// Reading the documentation's Markdown pages in tests that check them against the code's tables:
// a page's sections by heading, and the names in the first cells of their tables.
#ifndef HALVANE_TESTS_SUPPORT_MARKDOWN_PAGE_H
#define HALVANE_TESTS_SUPPORT_MARKDOWN_PAGE_H

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace markdown {

inline std::string ReadPage(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline int HeadingLevel(const std::string& line) {
  size_t n = line.find_first_not_of('#');
  return n != std::string::npos && n > 0 && line[n] == ' ' ? static_cast<int>(n) : 0;
}

// The lines under `heading` up to the next heading of the same or a higher level, fenced code
// blocks skipped; empty (and a failed expectation) when the page has no such heading.
inline std::vector<std::string> Section(const std::string& page, const std::string& heading) {
  std::istringstream in(page);
  const int level = HeadingLevel(heading);
  std::vector<std::string> out;
  bool inside = false;
  bool fenced = false;
  for (std::string line; std::getline(in, line);) {
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
inline std::vector<std::string> Cells(const std::string& row) {
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
inline std::set<std::string> FirstCellNames(const std::vector<std::string>& section) {
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

}  // namespace markdown

#endif
