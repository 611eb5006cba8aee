// The preset list file's line format, apart from the store: line 1 is the header
// "<frequency>|<value2>|<value3>", every further line one preset "<frequency text>,<name>".
// There is no quoting: a comma ends the name, and CR or LF end the line.
#ifndef HALVANE_PRESETS_LIST_FILE_H
#define HALVANE_PRESETS_LIST_FILE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "presets/preset_table.h"

namespace halvane {

// What a header line says. A field that is missing, or whose number does not fit 32 bits, is
// absent (the store keeps its old value). The start frequency is the whole line's leading number
// as a 16-bit value, 0 when it does not fit.
struct ListHeader {
  int16_t startFreq = 0;
  std::optional<int32_t> value2;
  std::optional<int32_t> value3;
};

ListHeader ReadListHeader(std::string_view line);

// A preset line split at its commas: the text before the first comma and the text up to the
// second (or the end). Further fields are dropped. A line without a comma is no preset.
struct PresetLine {
  std::string_view freq;
  std::string_view name;
};

std::optional<PresetLine> ReadPresetLine(std::string_view line);

std::string ListHeaderLine(int32_t freq, int32_t value2, int32_t value3);

// The whole file: the header line, then one line per preset of the table, every line ended by
// CR LF, then `beyondCap` (lines past the last preset a store can number) exactly as it is, as
// pieces to be written one after another, without a copy of the table's text where its lines
// already stand as the file has them (a list loaded and not edited since, or long parts of one).
class ListFilePieces {
 public:
  // The table and `beyondCap` must outlive the pieces and stay unchanged while they are used.
  ListFilePieces(int32_t freq, int32_t value2, int32_t value3, const PresetTable& presets,
                 std::string_view beyondCap = {});
  ListFilePieces(const ListFilePieces&) = delete;
  ListFilePieces& operator=(const ListFilePieces&) = delete;
  const std::vector<std::string_view>& pieces() const { return pieces_; }

 private:
  std::string header_;
  std::string staged_;
  std::vector<std::string_view> pieces_;
};

}  // namespace halvane

#endif
