// The preset list file's header line, "<frequency>|<value2>|<value3>". The preset lines after it
// are the table's own (see PresetTable).
#ifndef HALVANE_PRESETS_LIST_FILE_H
#define HALVANE_PRESETS_LIST_FILE_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

std::string ListHeaderLine(int32_t freq, int32_t value2, int32_t value3);

}  // namespace halvane

#endif
