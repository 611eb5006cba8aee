#include "presets/list_file.h"

#include <vector>

#include "halvane/errors.h"
#include "runtime/fields.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {

constexpr char kHeaderSeparator = '|';
constexpr char kFieldSeparator = ',';
constexpr std::string_view kLineEnd = "\r\n";
// Runs of lines this long are written from the table's text; shorter ones are copied together.
constexpr size_t kLongRun = 4096;

}  // namespace

ListHeader ReadListHeader(std::string_view line) {
  ListHeader header;
  // Each reading is its own step: a field out of range leaves only that field unread.
  if (line.find(kHeaderSeparator) != std::string_view::npos) {
    auto fields = SplitFields(line, kHeaderSeparator);
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

ListFilePieces::ListFilePieces(int32_t freq, int32_t value2, int32_t value3,
                               const PresetTable& presets, std::string_view beyondCap)
    : header_(ListHeaderLine(freq, value2, value3).append(kLineEnd)) {
  // Each piece is a part of the table's text or of `staged_`, where short runs are copied;
  // the copies' places are known only once `staged_` stops growing.
  struct Piece {
    bool staged;
    size_t offset, length;
  };
  std::vector<Piece> parts;
  auto stage = [&](std::string_view bytes) {
    if (!parts.empty() && parts.back().staged)
      parts.back().length += bytes.size();
    else
      parts.push_back(Piece{true, staged_.size(), bytes.size()});
    staged_.append(bytes);
  };
  const std::string_view block = presets.Block();
  const size_t count = presets.size();
  // A run: presets whose lines follow each other in the table's text, each ended by CR LF.
  for (size_t i = 1; i < count;) {
    const size_t start = presets.LineOffset(i);
    size_t end = start + presets.LineLength(i);
    for (++i;
         i < count && presets.EndedByCrLf(i - 1) && presets.LineOffset(i) == end + kLineEnd.size();
         ++i)
      end += kLineEnd.size() + presets.LineLength(i);
    const bool ended = presets.EndedByCrLf(i - 1);
    if (ended) end += kLineEnd.size();
    if (end - start >= kLongRun)
      parts.push_back(Piece{false, start, end - start});
    else
      stage(block.substr(start, end - start));
    if (!ended) stage(kLineEnd);
  }
  pieces_.reserve(parts.size() + 2);
  pieces_.push_back(header_);
  for (const Piece& p : parts)
    pieces_.push_back((p.staged ? std::string_view(staged_) : block).substr(p.offset, p.length));
  if (!beyondCap.empty()) pieces_.push_back(beyondCap);
}

}  // namespace halvane
