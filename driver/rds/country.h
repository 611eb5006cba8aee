// Where a station broadcasts from: the country named by its PI's first digit together with the
// extended country code of group 1A, and the call letters North American stations' PI codes
// stand for.
#ifndef HALVANE_DRIVER_RDS_COUNTRY_H
#define HALVANE_DRIVER_RDS_COUNTRY_H

#include <cstdint>
#include <string>
#include <string_view>

namespace halvane::driver::rds {

// The ISO 3166 two-letter code of the country; empty when the pair names none we know.
std::string_view CountryCode(uint16_t pi, uint8_t ecc);

// The English name of a language code of group 1A; empty when unknown.
std::string_view LanguageName(uint16_t code);

// The four (or three) call letters a North American PI stands for, "K..." or "W..."; empty for
// codes that stand for none (nationally and regionally linked codes among them).
std::string CallLetters(uint16_t pi);

}  // namespace halvane::driver::rds

#endif
