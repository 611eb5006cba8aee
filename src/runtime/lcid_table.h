// The Windows locale identifiers of POSIX locale names: the published table, one row per
// language_TERRITORY (with a glibc modifier where the script decides the identifier).
#ifndef HALVANE_RUNTIME_LCID_TABLE_H
#define HALVANE_RUNTIME_LCID_TABLE_H

#include <cstdint>
#include <span>
#include <string_view>

namespace halvane {

struct LcidRow {
  std::string_view name;  // "de_DE", "sr_RS@latin"
  int32_t lcid;
};

// Sorted by name.
std::span<const LcidRow> LcidTable();

// What Windows reports for a locale that has no identifier of its own (LOCALE_CUSTOM_UNSPECIFIED).
inline constexpr int32_t kLcidCustomUnspecified = 0x1000;
// The invariant locale: "C", "POSIX" or none.
inline constexpr int32_t kLcidInvariant = 0x007F;
// English (United States), en_US.
inline constexpr int32_t kLcidEnglishUnitedStates = 0x0409;

}  // namespace halvane

#endif
