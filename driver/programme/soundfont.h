// The General MIDI soundfont music is played with: HALVANE_SOUNDFONT when set, else the first
// of Debian's General MIDI soundfonts that is installed (TimGM6mb, a small one, first).
#ifndef HALVANE_DRIVER_PROGRAMME_SOUNDFONT_H
#define HALVANE_DRIVER_PROGRAMME_SOUNDFONT_H

#include <optional>
#include <string>

namespace halvane::driver::programme {

std::optional<std::string> FindSoundfont();

}  // namespace halvane::driver::programme

#endif
