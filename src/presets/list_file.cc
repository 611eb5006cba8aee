#include "presets/list_file.h"

#include <vector>

#include "halvane/errors.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {

constexpr char kHeaderSeparator = '|';
constexpr char kFieldSeparator = ',';

std::vector<std::string_view> SplitAt(std::string_view text, char separator) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      fields.push_back(text.substr(start));
      return fields;
    }
    fields.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

}  // namespace

ListHeader ReadListHeader(std::string_view line) {
  ListHeader header;
  // Each reading is its own step: a field out of range leaves only that field unread.
  if (line.find(kHeaderSeparator) != std::string_view::npos) {
    auto fields = SplitAt(line, kHeaderSeparator);
    if (fields.size() > 1) IgnoreErrors([&] { header.value2 = ToInt32(LeadingNumber(fields[1])); });
    if (fields.size() > 2) IgnoreErrors([&] { header.value3 = ToInt32(LeadingNumber(fields[2])); });
  }
  IgnoreErrors([&] { header.startFreq = ToInt16(LeadingNumber(line)); });
  return header;
}

std::optional<PresetLine> ReadPresetLine(std::string_view line) {
  size_t first = line.find(kFieldSeparator);
  if (first == std::string_view::npos) return std::nullopt;
  std::string_view rest = line.substr(first + 1);
  return PresetLine{line.substr(0, first), rest.substr(0, rest.find(kFieldSeparator))};
}

std::string ListHeaderLine(int32_t freq, int32_t value2, int32_t value3) {
  return std::to_string(freq) + kHeaderSeparator + std::to_string(value2) + kHeaderSeparator +
         std::to_string(value3);
}

std::string ListFileBytes(int32_t freq, int32_t value2, int32_t value3,
                          const PresetTable& presets) {
  constexpr std::string_view kLineEnd = "\r\n";
  const std::string header = ListHeaderLine(freq, value2, value3);
  const char* const text = presets.Block().data();
  const size_t count = presets.size();
  std::string bytes;
  // Every line's text is a part of the table's text of its own, so this is enough.
  bytes.reserve(header.size() + presets.Block().size() + count * kLineEnd.size());
  bytes.append(header).append(kLineEnd);
  // Lines that follow each other in the table's text, each ended there by CR LF as it will be in
  // the file (a list loaded and not edited since), go out in one copy.
  for (size_t i = 1; i < count;) {
    const size_t start = presets.LineOffset(i);
    size_t end = start + presets.LineLength(i);
    for (++i; i < count && presets.LineOffset(i) == end + kLineEnd.size() && text[end] == '\r' &&
              text[end + 1] == '\n';
         ++i)
      end += kLineEnd.size() + presets.LineLength(i);
    bytes.append(text + start, end - start).append(kLineEnd);
  }
  return bytes;
}

}  // namespace halvane
