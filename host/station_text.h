// Texts of the plug-in's answers as every face shows them: one cleaning for a line of RDS or
// preset text, one spelling of the frequency's unit.
#ifndef HALVANE_HOST_STATION_TEXT_H
#define HALVANE_HOST_STATION_TEXT_H

#include <string>
#include <string_view>

namespace host {

// An RDS or preset text as one line: control characters (the record's NULs among them) become
// blanks, invalid UTF-8 is mended, and blanks at both ends are dropped.
std::string CleanStationText(std::string_view text);

// The unit as the plug-in's "mhzkhz" label gives it, spelled as a person reads it: "KHz" (the
// skin keyword's text) is "kHz".
std::string ShownUnit(std::string_view unit);

// "104.5 MHz", "1040 kHz": a frequency label with its unit label.
std::string FrequencyWithUnit(std::string_view frequency, std::string_view unit);

}  // namespace host

#endif
