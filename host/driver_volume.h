// The tuner driver's optional volume control (radioSetVolume, radioGetVolume), reached as the
// driver's reason is: the driver library the plug-in loads, looked up by name. A driver without
// the exports has no volume, and a face shows none.
#ifndef HALVANE_HOST_DRIVER_VOLUME_H
#define HALVANE_HOST_DRIVER_VOLUME_H

#include <cstdint>
#include <optional>
#include <string>

namespace host {

// The volume in percent, or nothing when the driver can't be loaded or has no volume control.
std::optional<int32_t> ReadDriverVolume(const std::string& driverPath);
// Sets it (0 to 100); false when the driver has no volume control or refused.
bool WriteDriverVolume(const std::string& driverPath, int32_t percent);

}  // namespace host

#endif
