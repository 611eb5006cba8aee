#include "rds/country.h"

#include <array>

namespace halvane::driver::rds {
namespace {

// Countries of the European broadcasting area: one row per extended country code E0..E4, one
// column per PI country digit 1..F ("" where the pair is unassigned).
using CountryRow = std::array<std::string_view, 15>;
constexpr std::array<CountryRow, 5> kEuropeanCountries{{
    {"DE", "DZ", "AD", "IL", "IT", "BE", "RU", "PS", "AL", "AT", "HU", "MT", "DE", "", "EG"},
    {"GR", "CY", "SM", "CH", "JO", "FI", "LU", "BG", "DK", "GI", "IQ", "GB", "LY", "RO", "FR"},
    {"MA", "CZ", "PL", "VA", "SK", "SY", "TN", "", "LI", "IS", "MC", "LT", "RS", "ES", "NO"},
    {"ME", "IE", "TR", "MK", "", "", "", "NL", "LV", "LB", "AZ", "HR", "KZ", "SE", "BY"},
    {"MD", "EE", "KG", "", "", "UA", "", "PT", "SI", "AM", "", "GE", "", "", "BA"},
}};
constexpr uint8_t kFirstEuropeanEcc = 0xE0;
constexpr uint8_t kUnitedStatesEcc = 0xA0;
constexpr uint8_t kCanadaEcc = 0xA1;

constexpr std::array<std::string_view, 0x2C> kLanguages{
    "",        "Albanian", "Breton",    "Catalan", "Croatian",      "Welsh",      "Czech",
    "Danish",  "German",   "English",   "Spanish", "Esperanto",     "Estonian",   "Basque",
    "Faroese", "French",   "Frisian",   "Irish",   "Gaelic",        "Galician",   "Icelandic",
    "Italian", "Lappish",  "Latin",     "Latvian", "Luxembourgian", "Lithuanian", "Hungarian",
    "Maltese", "Dutch",    "Norwegian", "Occitan", "Polish",        "Portuguese", "Romanian",
    "Romansh", "Serbian",  "Slovak",    "Slovene", "Finnish",       "Swedish",    "Turkish",
    "Flemish", "Walloon"};

// North American call letters: K stations from 0x1000, W stations from 0x54A8, three letters
// base 26 after the first.
constexpr uint16_t kFirstK = 0x1000;
constexpr uint16_t kFirstW = 0x54A8;
constexpr uint16_t kLastW = 0x994F;

}  // namespace

std::string_view CountryCode(uint16_t pi, uint8_t ecc) {
  const int digit = pi >> 12;
  if (digit == 0) return {};
  if (ecc == kUnitedStatesEcc) return "US";
  if (ecc == kCanadaEcc) return "CA";
  const int row = ecc - kFirstEuropeanEcc;
  if (row < 0 || row >= static_cast<int>(kEuropeanCountries.size())) return {};
  return kEuropeanCountries[row][digit - 1];
}

std::string_view LanguageName(uint16_t code) {
  return code < kLanguages.size() ? kLanguages[code] : std::string_view();
}

std::string CallLetters(uint16_t pi) {
  // Codes AFxx and Axyz stand for xx00 and x0yz: the shorthand for codes with zero digits.
  if ((pi >> 8) == 0xAF) {
    pi = static_cast<uint16_t>((pi & 0xFF) << 8);
  } else if ((pi >> 12) == 0xA) {
    pi = static_cast<uint16_t>(((pi >> 8) & 0xF) << 12 | (pi & 0xFF));
  }
  if (pi < kFirstK || pi > kLastW) return {};
  const bool w = pi >= kFirstW;
  int n = pi - (w ? kFirstW : kFirstK);
  std::string letters(4, w ? 'W' : 'K');
  for (int i = 3; i >= 1; --i) {
    letters[i] = static_cast<char>('A' + n % 26);
    n /= 26;
  }
  return letters;
}

}  // namespace halvane::driver::rds
