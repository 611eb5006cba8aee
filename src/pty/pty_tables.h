// The built-in English programme-type names of the two standards, with the keys by which
// "RDS.ini" and "RBDS.ini" override them. Kept as data so the loader, the tests and the reference
// page all walk the same rows.
#ifndef HALVANE_RDS_PTY_TABLES_H
#define HALVANE_RDS_PTY_TABLES_H

#include <cstdint>
#include <span>
#include <string_view>

namespace halvane {

struct PtyDefault {
  int16_t code;           // 1..31; codes a standard does not assign have no row
  std::string_view name;  // UTF-8
  std::string_view key;   // lower case, as compared after lower-casing the file's key
};

// European RDS: codes 1 to 31.
std::span<const PtyDefault> RdsPtyDefaults();
// North American RBDS: codes 1 to 23 and 29 to 31; 24 to 28 are left as they were.
std::span<const PtyDefault> RbdsPtyDefaults();

inline constexpr std::string_view kRdsNamesFile = "RDS.ini";
inline constexpr std::string_view kRbdsNamesFile = "RBDS.ini";

}  // namespace halvane

#endif
