// What the tuner tells of the reception beside its level, from the driver's optional extended
// report (reception.cnr, reception.stereo): the carrier-to-noise and how much of the stereo the
// sound keeps as the blend narrows it. A driver without the report, or one that says nothing of
// reception (a band with no receiver of its own to measure), has neither, and a face shows none.
#ifndef HALVANE_HOST_DRIVER_RECEPTION_H
#define HALVANE_HOST_DRIVER_RECEPTION_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace host {

struct DriverReception {
  std::optional<int32_t> cnrDb;          // carrier-to-noise in 200 kHz, rounded to a dB
  std::optional<int32_t> stereoPercent;  // the share of the stereo the sound keeps, 0 to 100

  bool operator==(const DriverReception&) const = default;
};

// The reception keys of a report of "key=value" lines; a value that is no number counts as
// absent.
DriverReception ParseReception(std::string_view report);

// Asks the driver at `driverPath`; nothing when it can't be loaded, has no report or fails.
DriverReception ReadDriverReception(const std::string& driverPath);

// "C/N 32 dB", or "" with no figure.
std::string QualityText(const DriverReception& reception);
// While the stereo indicator is on and the blend narrows the sound: how much stereo is left,
// "60%"; "" at full stereo, without a pilot, or with no figure.
std::string BlendText(bool stereo, const DriverReception& reception);

}  // namespace host

#endif
