// Finds and reads the band: the file named by HALVANE_STATIONS, else stations.ini beside the
// driver library, else the built-in band.
#ifndef HALVANE_DRIVER_BAND_BAND_LOADER_H
#define HALVANE_DRIVER_BAND_BAND_LOADER_H

#include <cstdint>
#include <optional>
#include <string>

#include "band/station.h"

namespace halvane::driver::band {

inline constexpr const char* kStationsVariable = "HALVANE_STATIONS";
inline constexpr const char* kStationsFileName = "stations.ini";

struct BandLoad {
  std::optional<Band> band;
  int32_t errorCode = 0;  // result code when band is empty
  std::string message;    // what went wrong, with file and line
};

// Reads a band file and the capture files it names (relative to the band file's folder).
BandLoad LoadBandFile(const std::string& path);

// The band this process uses, searched as described above.
BandLoad LoadBand();

// The folder holding the driver library (or the program it is linked into), with a trailing
// slash; empty if unknown.
std::string LibraryFolder();

}  // namespace halvane::driver::band

#endif
