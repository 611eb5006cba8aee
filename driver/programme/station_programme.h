// The programme a station of the band broadcasts: music in the style of its programme type,
// speech read from its RadioText, or the test tone, as its band-file section says. Transmitters
// of one programme (one PI) broadcast the same.
#ifndef HALVANE_DRIVER_PROGRAMME_STATION_PROGRAMME_H
#define HALVANE_DRIVER_PROGRAMME_STATION_PROGRAMME_H

#include <string_view>

#include "band/station.h"
#include "programme/programme.h"

namespace halvane::driver::programme {

// Music, speech or tone: the `programme` key, else speech for `ms = speech` or a spoken
// programme type (news, talk, sport ...), else music.
Kind KindOf(const band::Station& station);

// The style of music of a programme type named by kind ("jazz"); pop for one without.
Style StyleOf(std::string_view typeKind);

// What `station` sends `airS` seconds after the radio came on (the station itself went on the
// air 20 to 40 s before); `tone` is its test tone.
Options ProgrammeFor(const band::Station& station, double airS, const Tone& tone = {});

}  // namespace halvane::driver::programme

#endif
