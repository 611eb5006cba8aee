// Character tables, kept apart from the code that uses them.
#ifndef HALVANE_DRIVER_RDS_CHARSET_TABLES_H
#define HALVANE_DRIVER_RDS_CHARSET_TABLES_H

#include <array>

namespace halvane::driver::rds {

// The RDS basic character set (code table G0): the Unicode character of every byte, 0 where the
// byte is a control code or undefined.
extern const std::array<char32_t, 256> kRdsBasicCharset;

}  // namespace halvane::driver::rds

#endif
