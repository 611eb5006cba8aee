// Why the tuner driver failed, in the driver's own words. A driver may export, beside its
// contract, `int32_t radioLastReason(char* buffer, int32_t size)` (docs/driver.md); both faces
// show what it says with the device-error dialog.
#ifndef HALVANE_HOST_DRIVER_REASON_H
#define HALVANE_HOST_DRIVER_REASON_H

#include <string>

namespace host {

// The reason of the driver library at `driverPath` (the one the plug-in loads): its
// radioLastReason text; when the library can't be loaded, the loader's own words; "" when the
// driver has no such export or no reason to give. The library stays loaded, as the plug-in keeps
// it.
std::string DriverReason(const std::string& driverPath);

}  // namespace host

#endif
