// The band a tuner receives when no band file is found.
#ifndef HALVANE_DRIVER_BAND_DEFAULT_BAND_H
#define HALVANE_DRIVER_BAND_DEFAULT_BAND_H

#include <string_view>

#include "band/programme_types.h"
#include "band/station.h"

namespace halvane::driver::band {

// The built-in band as band-file text (docs/driver.md shows it as an example).
std::string_view DefaultBandText();

// Its programme types as `region`'s stations number them.
Band DefaultBand(PtyRegion region);

}  // namespace halvane::driver::band

#endif
