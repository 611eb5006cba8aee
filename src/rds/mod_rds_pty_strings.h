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
  void LoadPtyNames(bool useRbds, const std::string& configPath);
  // The name of a code; "" for 0 and above 31.
  std::string PtyName(int16_t code) const;

  std::array<std::string, 32> ptyNames{};
};

}  // namespace halvane

#endif
