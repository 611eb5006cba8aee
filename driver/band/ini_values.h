// Reading the values of the band file's "key = value" lines.
#ifndef HALVANE_DRIVER_BAND_INI_VALUES_H
#define HALVANE_DRIVER_BAND_INI_VALUES_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvane::driver::band {

// Splits the next line off `text` (ended by LF, CR LF or CR) and returns it without its end.
std::string_view NextLine(std::string_view& text);

// `text` without leading and trailing blanks, tabs and line ends.
std::string_view Trim(std::string_view text);

// A value as written: a text in double quotes keeps its blanks (the quotes go); anything else
// is trimmed.
std::string Unquote(std::string_view value);

// A decimal integer with an optional sign; nothing on any other text or on overflow.
std::optional<int64_t> ReadInteger(std::string_view text);

// Hexadecimal, with or without a leading "0x", at most 16 bits.
std::optional<uint16_t> ReadHex16(std::string_view text);

// yes/no, true/false, on/off, 1/0, in any case.
std::optional<bool> ReadBoolean(std::string_view text);

// "95.8 MHz", "95800 kHz", "1040 kHz": the plug-in's value for it (FM in Hz, AM kHz x 10000),
// exact, or nothing when the text is not such a frequency or has more decimals than a hertz.
std::optional<int32_t> ReadFrequency(std::string_view text);

}  // namespace halvane::driver::band

#endif
