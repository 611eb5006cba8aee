// Programme-type names: built-in RDS or RBDS English names, overridable from "RDS.ini" or
// "RBDS.ini" in the configuration folder.
#ifndef HALVANE_RDS_MOD_RDS_PTY_STRINGS_H
#define HALVANE_RDS_MOD_RDS_PTY_STRINGS_H

#include <array>
#include <cstdint>
#include <string>

namespace halvane {

class ModRdsPtyStrings {
 public:
  // Loads the chosen standard's defaults, then the overrides of "RDS.ini" or "RBDS.ini" found
  // directly under `configPath` (which ends in a separator). The RBDS set leaves codes 24 to 28 as
  // they were. A line whose key is known but that has no "=" ends the read with error 9; the names
  // taken so far stay. An override file that exists but can't be read is error 75, defaults kept.
  void LoadPtyNames(bool useRbds, const std::string& configPath);
  // The name of a code; "" for 0 and above 31. A negative code is error 9.
  std::string PtyName(int16_t code) const;

  // Every name, indexed by code; entry 0 is never assigned. Empty until the first load, never
  // cleared.
  const std::array<std::string, 32>& PtyNames() const { return ptyNames_; }

 private:
  std::array<std::string, 32> ptyNames_{};
};

}  // namespace halvane

#endif
