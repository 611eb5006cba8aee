#include "presets/preset_table.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "halvane/errors.h"
#include "presets/line_scan.h"
#include "runtime/codepage.h"
#include "runtime/numbers.h"
#include "runtime/text_file.h"

namespace halvane {
namespace {

constexpr char kFieldSeparator = ',';
constexpr std::string_view kLineEnd = "\r\n";
// Below this much text, leftovers of edits are not worth a rewrite.
constexpr size_t kCompactionFloor = 64 * 1024;
// Runs of lines this long are written from the table's text; shorter ones are copied together.
constexpr size_t kLongRun = 4096;

}  // namespace

void PresetTable::FieldTooLong() { Raise(kOverflow, "preset text too long"); }

void PresetTable::CheckPreset(size_t i) const {
  if (i < 1 || i >= entries_.size()) Raise(kSubscriptRange, "preset " + std::to_string(i));
}

void PresetTable::Reset() {
  text_.clear();
  entries_.assign(1, Entry{0, 0, 0, 0});
  values_.assign(1, 0.0);
  used_ = 0;
}

void PresetTable::Grow() {
  const size_t slots = std::max<size_t>(16, entries_.size() * 2);
  entries_.reserve(slots);
  values_.reserve(slots);
}

PresetTable::Entry PresetTable::Place(std::string_view freq, std::string_view name) {
  Entry e{text_.size(), FieldLength(freq.size()), FieldLength(name.size()), 1};
  text_.reserve(text_.size() + LineLength(e) + kLineEnd.size());
  text_.append(freq).push_back(kFieldSeparator);
  text_.append(name).append(kLineEnd);
  used_ += TextLength(e);
  return e;
}

void PresetTable::Append(std::string_view freq, std::string_view name) {
  const double value = LeadingNumber(freq);
  MakeRoom();  // the slot first: nothing is written when it can't be had
  entries_.push_back(Place(freq, name));
  values_.push_back(value);
}

void PresetTable::SetName(size_t i, std::string_view name) {
  CheckPreset(i);
  Entry& e = entries_[i];
  // The frequency text is written again beside the new name: a preset's line stays in one piece.
  const std::string freq(Freq(i));
  const size_t old = TextLength(e);
  e = Place(freq, name);
  used_ -= old;
  CompactWhenWasteful();
}

void PresetTable::Erase(size_t i) {
  CheckPreset(i);
  used_ -= TextLength(entries_[i]);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(i));
  CompactWhenWasteful();
}

void PresetTable::Swap(size_t a, size_t b) {
  CheckPreset(a);
  CheckPreset(b);
  std::swap(entries_[a], entries_[b]);
  std::swap(values_[a], values_[b]);
}

PresetTable::FileRest PresetTable::Load(std::string file, size_t capacity) {
  FileRest rest;
  const size_t first = file.size() - WithoutByteOrderMark(file).size();
  const size_t size = file.size();
  if (first == size) return rest;  // no lines at all
  text_ = std::move(file);

  // The first line is the header whatever it holds, even when it looks like a preset.
  const ScannedLine header = ScanLine(text_, first);
  IgnoreErrors([&] { rest.header = DecodeFileText(Block().substr(first, header.end - first)); });

  // Decoded lines are added past the file's bytes, which is as far as lines are read.
  size_t at = header.next;
  while (at < size && entries_.size() - 1 < capacity) at = LoadLine(at, size, rest.kept);
  // What could not be numbered is kept as it stands, to be written back.
  if (at < size) IgnoreErrors([&] { rest.beyond.assign(Block().substr(at, size - at)); });
  IgnoreErrors([&] { CompactWhenWasteful(); });
  return rest;
}

// The one reading of a preset line. A plain ASCII line is its preset's text already and is
// taken in place; any other line is decoded, and its decoded text split at the same commas.
size_t PresetTable::LoadLine(size_t at, size_t fileSize, std::vector<KeptLines>& kept) {
  const std::string_view file = Block().substr(0, fileSize);
  const ScannedLine line = ScanLine(file, at);
  if (line.comma == std::string_view::npos) {
    // No preset: kept, together with the lines before it that followed the same preset. A line
    // ended by CR alone gets the CR LF of the lines a save writes around it; a lone LF, which
    // other readers take for part of the line, stays as it is.
    IgnoreErrors([&] {
      const size_t after = entries_.size() - 1;
      if (kept.empty() || kept.back().after != after) kept.push_back(KeptLines{after, {}});
      std::string& text = kept.back().text;
      const bool loneCr = line.next == line.end + 1 && file[line.end] == '\r';
      text.append(file.substr(at, (loneCr ? line.end : line.next) - at));
      if (loneCr) text.append(kLineEnd);
    });
    return line.next;
  }
  IgnoreErrors([&] {
    if (line.ascii) {
      // A line of two fields ended by CR LF stands in the text as a save writes it.
      const Entry e{at, FieldLength(line.comma - at), FieldLength(line.nameEnd - line.comma - 1),
                    line.nameEnd == line.end && line.next == line.end + 2};
      const double value = LeadingNumber(file.substr(at, e.freqLength));
      MakeRoom();
      entries_.push_back(e);
      values_.push_back(value);
      used_ += TextLength(e);
    } else {
      const std::string decoded = DecodeFileText(file.substr(at, line.end - at));
      const ScannedLine fields = ScanLine(decoded, 0);
      const std::string_view text = decoded;
      Append(text.substr(0, fields.comma),
             text.substr(fields.comma + 1, fields.nameEnd - fields.comma - 1));
    }
  });
  return line.next;
}

PresetTable::File::File(const PresetTable& presets, std::string header, std::string_view beyond,
                        const std::vector<KeptLines>& kept)
    : header_(std::move(header.append(kLineEnd))) {
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
  size_t k = 0;  // the next kept lines to write
  auto stageKeptUpTo = [&](size_t slot) {
    for (; k < kept.size() && kept[k].after <= slot; ++k) {
      const std::string_view text = kept[k].text;
      stage(text);
      if (!text.empty() && text.back() != '\n' && text.back() != '\r') stage(kLineEnd);
    }
  };
  stageKeptUpTo(0);
  const std::string_view block = presets.text_;
  const auto& entries = presets.entries_;
  const size_t count = entries.size();
  // A run: presets whose lines follow each other in the table's text, each ended by CR LF, with
  // no kept line between them.
  for (size_t i = 1; i < count;) {
    const size_t start = entries[i].offset;
    size_t end = start + LineLength(entries[i]);
    for (++i;
         i < count && entries[i - 1].endedByCrLf && entries[i].offset == end + kLineEnd.size() &&
         (k == kept.size() || kept[k].after >= i);
         ++i)
      end += kLineEnd.size() + LineLength(entries[i]);
    const bool ended = entries[i - 1].endedByCrLf;
    if (ended) end += kLineEnd.size();
    if (end - start >= kLongRun)
      parts.push_back(Piece{false, start, end - start});
    else
      stage(block.substr(start, end - start));
    if (!ended) stage(kLineEnd);
    stageKeptUpTo(i - 1);
  }
  stageKeptUpTo(SIZE_MAX);
  pieces_.reserve(parts.size() + 2);
  pieces_.push_back(header_);
  for (const Piece& p : parts)
    pieces_.push_back((p.staged ? std::string_view(staged_) : block).substr(p.offset, p.length));
  if (!beyond.empty()) pieces_.push_back(beyond);
}

void PresetTable::CompactWhenWasteful() {
  const size_t unused = text_.size() > used_ ? text_.size() - used_ : 0;
  if (unused < kCompactionFloor || unused < text_.size() / 2) return;
  std::string text;
  size_t used = 0;
  for (size_t i = 1; i < entries_.size(); ++i) used += LineLength(entries_[i]) + kLineEnd.size();
  try {
    text.reserve(used);
  } catch (const std::bad_alloc&) {
    return;  // the text stays as it is, leftovers and all
  }
  for (size_t i = 1; i < entries_.size(); ++i) {
    Entry& e = entries_[i];
    const size_t at = text.size();
    text.append(Line(i)).append(kLineEnd);
    e.offset = at;
    e.endedByCrLf = 1;
  }
  text_ = std::move(text);
  entries_[0].offset = 0;
  used_ = text_.size();
}

}  // namespace halvane
