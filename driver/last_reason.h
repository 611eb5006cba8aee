// Why the tuner's last failing call failed, in words a person can act on ("stations.ini:12:
// unknown key levl"). Backends set it where they return an error code; the optional export
// radioLastReason hands it to a host that asks, so the driver contract itself stays as it is.
#ifndef HALVANE_DRIVER_LAST_REASON_H
#define HALVANE_DRIVER_LAST_REASON_H

#include <string>
#include <string_view>

namespace halvane::driver {

// Replaces the reason; an empty text clears it. UTF-8.
void SetLastReason(std::string text);
void ClearLastReason();
std::string_view LastReason();

// Copies the reason into `buffer` as a NUL-terminated string, cut at `size` - 1 bytes (never in
// the middle of a UTF-8 sequence), and returns the reason's whole length in bytes: 0 when there is
// none. A null buffer or a size below 1 copies nothing.
int32_t CopyLastReason(char* buffer, int32_t size);

// The same copy of any text.
int32_t CopyText(std::string_view text, char* buffer, int32_t size);

}  // namespace halvane::driver

#endif
