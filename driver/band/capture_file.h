// Recorded RDS: one group a line as four hexadecimal blocks ("2204 0520 4845 4C4C"), "----" for
// a block the recorder lost; lines starting with "#" and blank lines are skipped.
#ifndef HALVANE_DRIVER_BAND_CAPTURE_FILE_H
#define HALVANE_DRIVER_BAND_CAPTURE_FILE_H

#include <string_view>
#include <vector>

#include "band/parse_result.h"
#include "band/station.h"

namespace halvane::driver::band {

// Fails on a malformed line and on a recording without a single group.
ParseResult<std::vector<CapturedGroup>> ParseCaptureFile(std::string_view text);

}  // namespace halvane::driver::band

#endif
