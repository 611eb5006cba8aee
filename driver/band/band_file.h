// The band file: an INI-like text listing the simulated stations. See docs/driver.md.
#ifndef HALVANE_DRIVER_BAND_BAND_FILE_H
#define HALVANE_DRIVER_BAND_BAND_FILE_H

#include <string_view>

#include "band/parse_result.h"
#include "band/programme_types.h"
#include "band/station.h"

namespace halvane::driver::band {

// Parses a whole band file. Capture files named by stations are not read here: their paths are
// left in Station::capturePath for the loader. A programme type given by its kind is sent with
// `region`'s code for it.
ParseResult<Band> ParseBandFile(std::string_view text, PtyRegion region = PtyRegion::kEurope);

}  // namespace halvane::driver::band

#endif
