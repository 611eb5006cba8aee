// Starting the three automatic searches that SurfTimer paces: scan, surf and preset learning.
#ifndef HALVANE_PLUGIN_SEARCH_START_H
#define HALVANE_PLUGIN_SEARCH_START_H

#include "plugin/host_contract.h"

namespace halvane {

class DMRadio;

// Each sets SearchMode first, so a failure later on leaves the mode set and the timer as it was.
// Scan and surf step every "=$scansecs$" seconds (10 s when that gives 0; error 6 from 33 s on, as
// the milliseconds are a 16-bit value); preset learning ticks every second.
void StartScan(DMRadio& radio);
void StartSurf(DMRadio& radio);
void StartPresetSearch(DMRadio& radio, const ObjectRef& frm);

}  // namespace halvane

#endif
