// The reception's measures and what the sound stages make of them, as lines of the driver's
// extended report ("key=value", docs/driver.md): the carrier-to-noise on a scale that goes on
// where the level's 0 stops, the echo, the pilot, and the amount of blend, high cut, soft mute
// and equalisation.
#ifndef HALVANE_DRIVER_SDR_RECEPTION_REPORT_H
#define HALVANE_DRIVER_SDR_RECEPTION_REPORT_H

#include <string>

#include "sdr/dsp/receiver.h"

namespace halvane::driver::sdr {

std::string ReceptionReport(const Reception& reception);

}  // namespace halvane::driver::sdr

#endif
