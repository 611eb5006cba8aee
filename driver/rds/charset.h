// Conversions between the RDS basic character set, Unicode and Windows-1252.
//
// Station texts are written in band files as UTF-8, sent over the air as RDS bytes, and handed to
// the plug-in as Windows-1252 bytes, one byte per character.
#ifndef HALVANE_DRIVER_RDS_CHARSET_H
#define HALVANE_DRIVER_RDS_CHARSET_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace halvane::driver::rds {

inline constexpr uint8_t kBlank = 0x20;
// Ends a RadioText message shorter than its 64 (or 32) characters.
inline constexpr uint8_t kEndOfText = 0x0D;

// The Windows-1252 byte of an RDS character; a blank when Windows-1252 has no such character
// or the byte is a control code.
uint8_t RdsToWindows1252(uint8_t rds);

// The RDS byte of a Unicode character; a blank when the basic character set lacks it.
uint8_t UnicodeToRds(char32_t c);

// The characters of `text` read as UTF-8; a byte that does not start a valid UTF-8 sequence
// stands for its Windows-1252 character, so files written by older tools still read sensibly.
std::u32string DecodeText(std::string_view text);

// RDS bytes as UTF-8 text; control codes and undefined bytes become blanks.
std::string RdsToUtf8(std::span<const uint8_t> bytes);

// Bytes a station sent as UTF-8 (the long programme service name), made safe to show: control
// codes become blanks and a byte that starts no valid sequence reads as Windows-1252.
std::string CleanUtf8(std::span<const uint8_t> bytes);

// `text` (as read by DecodeText) in RDS bytes.
std::vector<uint8_t> EncodeRdsText(std::string_view text);

}  // namespace halvane::driver::rds

#endif
