#include "band/default_band.h"

#include <cstdlib>

#include "band/band_file.h"

namespace halvane::driver::band {

// Fictional stations spread over the band. They cover the edges (87.5 and 107.9 MHz), programme
// types named by kind (each sent with the listener's region's code), a song tagged with
// RadioText+, a weak station, one without RDS, one whose TA flag toggles, one
// sending version B groups, several RadioText messages and characters outside ASCII.
std::string_view DefaultBandText() {
  return R"ini(# Built-in band of the simulated Halvane 600 tuner.

[station Lowend]
frequency = 87.5 MHz
level = 2
pi = 1A01
pty = pop
ps = "LOWEND  "
rt = Lowend Radio - the bottom of the dial
rt = Pop around the clock on 87.5

[station Nordwave]
frequency = 89.3 MHz
level = 1
pi = D3C2
pty = serious_classics
ps = NORDWAVE
rt = Serious classics from the north: Grieg, Sibelius, Nielsen

[station Foghorn]
frequency = 91.2 MHz
level = 12
stereo = no
pi = 2F0B
pty = information
ps = "FOGHORN "
rt = Foghorn Coast Radio: a weak signal from far away

[station Plain Signal]
frequency = 93.6 MHz
level = 4

[station City FM]
frequency = 95.8 MHz
level = 1
pi = 5C11
pty = news
tp = yes
ta = toggle
ta_period = 20
ms = speech
ps = "CITY FM "
rt = City FM traffic desk: jams on the ring road
rt = City FM news every hour on the hour

[station Rock 97]
frequency = 97.1 MHz
level = 0
pi = 4B2A
pty = classic_rock
ps = "ROCK 97 "
rt = Classic rock, no talk - Rock 97

[station Caffe]
frequency = 99.9 MHz
level = 3
pi = 6E07
pty = varied
ps = "CAFFÈ 99"
rt = Café Zürich: Espresso für 2 € - ½ Preis

[station Bravo]
frequency = 101.4 MHz
level = 2
pi = 7B0B
pty = top_40
groups = B
ps = "BRAVO   "
rt = Bravo: Top 40 all day long

[station Jazz 104]
frequency = 104.5 MHz
level = 1
pi = 8A04
pty = jazz
ps = "JAZZ 104"
rt = Late night jazz with the Halvane Quartet
rt = Next: Blue in the Small Hours
rt = Jazz 104 - smooth and cool

[station Talkline]
frequency = 105.3 MHz
level = 5
pi = 9C05
pty = talk
ms = speech
ps = TALKLINE
rt = Talkline: your calls, your views

[station Country Road]
frequency = 106.2 MHz
level = 2
pi = 3A10
pty = country
ps = COUNTRY
rt = Country Road 106.2: {artist:The Fiddle Pines} - {title:Heartache Highway}

[station Topend]
frequency = 107.9 MHz
level = 2
pi = 1A79
pty = oldies
ps = "TOPEND  "
rt = Topend Oldies at the top of the dial

[station Harbour AM]
frequency = 600 kHz
level = 3

[station Metro AM]
frequency = 1040 kHz
level = 6
)ini";
}

Band DefaultBand(PtyRegion region) {
  ParseResult<Band> parsed = ParseBandFile(DefaultBandText(), region);
  // The text is part of the program and covered by the tests; a failure is a build defect.
  if (!parsed.ok()) std::abort();
  return std::move(*parsed.value);
}

}  // namespace halvane::driver::band
