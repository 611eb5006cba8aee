// Programme types by kind, as band files name them ("jazz", "talk"), and the code a station
// sends for each: European stations send the RDS codes, North American ones the RBDS codes, and
// the two standards number the kinds differently (jazz is 24 in RDS and 14 in RBDS).
#ifndef HALVANE_DRIVER_BAND_PROGRAMME_TYPES_H
#define HALVANE_DRIVER_BAND_PROGRAMME_TYPES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvane::driver::band {

enum class PtyRegion { kEurope, kNorthAmerica };

// The region whose codes the simulated stations send: the one whose names the plug-in reads in
// this process's locale.
PtyRegion ListenersRegion();

// The code `region`'s stations send for `kind` (case-insensitive); a kind the region has no code
// for is sent as its nearest one, or 0. Nothing for an unknown kind.
std::optional<uint8_t> ProgrammeTypeCode(std::string_view kind, PtyRegion region);

// The kinds, for messages: "news, current_affairs, ...".
std::string ProgrammeTypeKinds();

}  // namespace halvane::driver::band

#endif
