// Which ALSA capture device carries a V4L2 radio device's sound: the sound card that sits on the
// same USB device (or the same PCI card) as the radio node, found through sysfs the way the
// usual radio tools pair a radio node with its audio.
#ifndef HALVANE_DRIVER_AUDIO_CAPTURE_DEVICE_H
#define HALVANE_DRIVER_AUDIO_CAPTURE_DEVICE_H

#include <optional>
#include <string>

namespace halvane::driver::audio {

// "hw:CARD,DEVICE" of the first capture device of the radio's sound card; nothing when the radio
// has none. `sysfs` is where sysfs is mounted (tests pass a tree of their own).
std::optional<std::string> FindCaptureDevice(const std::string& radioPath,
                                             const std::string& sysfs = "/sys");

}  // namespace halvane::driver::audio

#endif
