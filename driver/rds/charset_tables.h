// Character tables, kept apart from the code that uses them.
#ifndef HALVANE_DRIVER_RDS_CHARSET_TABLES_H
#define HALVANE_DRIVER_RDS_CHARSET_TABLES_H

#include <array>

namespace halvane::driver::rds {

// The RDS basic character set (code table G0): the Unicode character of every byte, 0 where the
// byte is a control code or undefined.
extern const std::array<char32_t, 256> kRdsBasicCharset;

// The Unicode characters of Windows-1252 bytes 0x80..0x9F, 0 where the byte is undefined.
// (Bytes below 0x80 and from 0xA0 on equal their code points.)
extern const std::array<char32_t, 32> kWindows1252High;

}  // namespace halvane::driver::rds

#endif
