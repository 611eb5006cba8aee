// Frequencies the user types: on the host's on-screen keyboard, and as the argument of "rtune".
// A value with a fractional part is taken as megahertz and scaled into the tuner's 10 kHz units;
// a plain whole number is taken as it stands (kHz for AM, 10 kHz units for FM).
#ifndef HALVANE_PLUGIN_TYPED_FREQUENCY_H
#define HALVANE_PLUGIN_TYPED_FREQUENCY_H

#include <cstdint>
#include <string_view>

#include "runtime/locale.h"

namespace halvane {

// The keyboard's reading. `firstReading` is the text box's default value as text and decides the
// scale: a leading number below 530 (no AM frequency is that low) is megahertz, and then `text`
// read in the locale is scaled by 100 in single precision; otherwise `text`'s leading number is
// used unscaled. Both readings are made before the choice, so text that is not a number in the
// locale fails with 13 either way. Error 6 beyond the 32-bit range.
int32_t KeyboardFrequency(std::string_view firstReading, std::string_view text,
                          const NumberFormat& format);

// The locale's decimal separator as number formatting shows it: "," or ".".
std::string_view DecimalSeparator(const NumberFormat& format);

// "rtune"'s reading: the argument as a locale number, times 100 when it holds the locale's
// decimal separator. Error 13 for text that is not a number, 6 beyond the 32-bit range.
int32_t ArgumentFrequency(std::string_view argument, const NumberFormat& format);

}  // namespace halvane

#endif
