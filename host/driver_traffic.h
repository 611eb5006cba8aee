// The tuner driver's optional traffic switch (radioSetTraffic, radioGetTraffic): with it on the
// tuner goes to a linked programme's traffic announcement and back. Reached as the volume is,
// by name in the driver library the plug-in loads; a driver without it has no such switch.
#ifndef HALVANE_HOST_DRIVER_TRAFFIC_H
#define HALVANE_HOST_DRIVER_TRAFFIC_H

#include <optional>
#include <string>

namespace host {

// The driver's switch, or nothing when the driver can't be loaded or has none.
std::optional<bool> ReadDriverTraffic(const std::string& driverPath);
// Sets it; false when the driver has no such switch or refused.
bool WriteDriverTraffic(const std::string& driverPath, bool on);

}  // namespace host

#endif
