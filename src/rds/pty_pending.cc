// Placeholder until the programme-type names land: every name empty.
#include "rds/mod_rds_pty_strings.h"

namespace halvane {
void ModRdsPtyStrings::LoadPtyNames(bool, const std::string&) {}
std::string ModRdsPtyStrings::PtyName(int16_t) const { return {}; }
}  // namespace halvane
