// The numbers of AM broadcast both ends agree on: the channel, its raster and how its level is
// stated.
#ifndef HALVANE_DRIVER_SDR_AM_BROADCAST_H
#define HALVANE_DRIVER_SDR_AM_BROADCAST_H

#include <cstdint>

namespace halvane::driver::sdr {

// The receiver works on the channel at this complex rate: the wanted station and its two
// neighbours' carriers 9 or 10 kHz away, so their strength can be measured beside it.
inline constexpr int kAmChannelRate = 24'000;

// Carrier-to-noise ratios on AM are stated in a 10 kHz channel, the width of a broadcast channel
// on the Americas' raster; the level reads from them as on FM.
inline constexpr double kAmNoiseBandwidthHz = 10'000;

// The highest audio frequency an AM broadcast sends on the 9 kHz raster (4.5 kHz) and the widest
// the receiver ever passes where no neighbour is heard.
inline constexpr double kAmWideAudioHz = 6'000;

// The tuners of SDR dongles reach down to about 24 MHz: the AM broadcast band below needs the
// device's direct sampling or an upconverter ahead of it.
inline constexpr int64_t kTunerLowestHz = 24'000'000;

// A source's samples at `frequencyHz` need the device's way to the AM band.
inline bool BelowTunerRange(int64_t frequencyHz) { return frequencyHz < kTunerLowestHz; }

}  // namespace halvane::driver::sdr

#endif
