// Reading what a hardware seek that returned 0 really found. Drivers return 0 at the band's end
// too: si470x on the limit of its own band (76 MHz when nothing is asked), wl128x on the edge, the
// virtual receiver without moving at all.
#ifndef HALVANE_DRIVER_V4L2_SEEK_RESULT_H
#define HALVANE_DRIVER_V4L2_SEEK_RESULT_H

#include <cstdint>
#include <optional>

namespace halvane::driver::v4l2 {

// The channel of the plug-in's raster that a seek from `start` towards `edge` (channels, in the
// plug-in's values) stopped on, the tuner now reading `hertz`; nothing when the seek ran to the
// band's end. The band's end is a reading outside the plug-in's band, on or beyond `edge`, or not
// beyond `start`. A reading between channels is taken to the channel beyond it in the seek's
// direction, as the seek passed the one before.
std::optional<int32_t> ChannelFoundBySeek(int32_t start, int32_t edge, int64_t hertz, bool am,
                                          bool up);

}  // namespace halvane::driver::v4l2

#endif
