#include "band/capture_file.h"

#include <algorithm>
#include <cctype>

#include "band/ini_values.h"

namespace halvane::driver::band {
namespace {

constexpr std::string_view kLostBlock = "----";

// Splits off the next blank-separated word of `text`.
std::string_view NextWord(std::string_view& text) {
  text = Trim(text);
  const size_t end = std::min(text.find_first_of(" \t"), text.size());
  const std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

}  // namespace

ParseResult<std::vector<CapturedGroup>> ParseCaptureFile(std::string_view text) {
  std::vector<CapturedGroup> groups;
  int lineNumber = 0;
  while (!text.empty()) {
    std::string_view line = Trim(NextLine(text));
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;

    CapturedGroup group;
    for (std::optional<uint16_t>& block : group) {
      const std::string_view word = NextWord(line);
      if (word == kLostBlock) continue;
      const bool hex = word.size() == 4 && std::all_of(word.begin(), word.end(), [](char c) {
                         return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                       });
      block = hex ? ReadHex16(word) : std::nullopt;
      if (!block) {
        return ParseResult<std::vector<CapturedGroup>>::Fail(
            "expected four blocks of 4 hexadecimal digits or \"----\"", lineNumber);
      }
    }
    if (!Trim(line).empty()) {
      return ParseResult<std::vector<CapturedGroup>>::Fail("more than four blocks on a line",
                                                           lineNumber);
    }
    groups.push_back(group);
  }
  if (groups.empty()) return ParseResult<std::vector<CapturedGroup>>::Fail("no groups", 0);
  return ParseResult<std::vector<CapturedGroup>>::Ok(std::move(groups));
}

}  // namespace halvane::driver::band
