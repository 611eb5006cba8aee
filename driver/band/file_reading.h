// How the driver reads a file a user or the environment names (tuner.ini, the band file, capture
// files): only a regular file, only up to a size, and never waiting. The plug-in reads its own
// files by the same rule, but the driver is a library of its own that must not link plug-in code,
// so it carries this small reader.
#ifndef HALVANE_DRIVER_BAND_FILE_READING_H
#define HALVANE_DRIVER_BAND_FILE_READING_H

#include <cstddef>
#include <optional>
#include <string>

namespace halvane::driver::band {

// Largest files read: a band file or a capture file, and the tuner configuration.
inline constexpr size_t kBandFileLimit = size_t{16} << 20;
inline constexpr size_t kConfigFileLimit = size_t{1} << 20;

// The file's bytes (without a leading UTF-8 byte-order mark), or nothing with `reason` saying why
// ("not a regular file", "larger than 1048576 bytes", the system's words for a failed open or
// read).
std::optional<std::string> ReadNamedFile(const std::string& path, size_t limit,
                                         std::string& reason);

}  // namespace halvane::driver::band

#endif
