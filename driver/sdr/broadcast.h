// The numbers of FM broadcast both ends agree on: the multiplex and where its parts sit in it.
//
// The multiplex, with 1.0 at the full 75 kHz deviation:
//   0.9 (L+R)/2 + 0.9 (L-R)/2 sin(2p) + 0.09 sin(p) + 0.045 d(t) sin(3p)
// where p is the 19 kHz pilot's phase and d(t) the shaped RDS chips.
#ifndef HALVANE_DRIVER_SDR_BROADCAST_H
#define HALVANE_DRIVER_SDR_BROADCAST_H

namespace halvane::driver::sdr {

inline constexpr double kDeviationHz = 75'000;
inline constexpr double kPilotHz = 19'000;
inline constexpr double kRdsCarrierHz = 3 * kPilotHz;
// 1187.5 bit/s, each bit sent as two biphase chips.
inline constexpr double kRdsBitRate = 1187.5;
inline constexpr double kRdsChipRate = 2 * kRdsBitRate;

inline constexpr double kAudioShare = 0.9;
inline constexpr double kPilotShare = 0.09;
inline constexpr double kRdsShare = 0.045;

// The receiver demodulates the multiplex at 228 kHz: 4 samples a 57 kHz period, 96 an RDS chip.
inline constexpr int kMultiplexRate = 228'000;
// The lowest source rate that carries a broadcast channel whole.
inline constexpr int kMinimumSampleRate = kMultiplexRate;

// Carrier-to-noise ratios are stated in a 200 kHz channel.
inline constexpr double kNoiseBandwidthHz = 200'000;
// A station's channel reaches this far either side of its carrier.
inline constexpr double kChannelHalfWidthHz = 100'000;

}  // namespace halvane::driver::sdr

#endif
