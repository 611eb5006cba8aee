// Builds the tuner the driver's exports use, as the configuration says.
#ifndef HALVANE_DRIVER_BACKEND_FACTORY_H
#define HALVANE_DRIVER_BACKEND_FACTORY_H

#include <memory>

#include "backend_config.h"
#include "driver_clock.h"
#include "tuner_backend.h"

namespace halvane::driver {

// A configuration that could not be read gives a tuner whose radioInitialize reports why.
std::unique_ptr<TunerBackend> MakeBackend(const BackendConfigLoad& load, const DriverClock& clock);

}  // namespace halvane::driver

#endif
