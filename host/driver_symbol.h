// A driver's optional export, found by name in the library the plug-in has loaded.
#ifndef HALVANE_HOST_DRIVER_SYMBOL_H
#define HALVANE_HOST_DRIVER_SYMBOL_H

#include <string>

namespace host {

// The export `name` of the driver at `driverPath`, or nullptr when it has none.
void* DriverSymbol(const std::string& driverPath, const char* name);

}  // namespace host

#endif
