#include "station_text.h"

#include <glib.h>

#include <memory>

namespace host {

std::string CleanStationText(std::string_view text) {
  // Control bytes are never part of a longer UTF-8 sequence: blank them first, so a NUL becomes
  // a blank rather than a replacement character.
  std::string blanked(text);
  for (char& c : blanked) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) c = ' ';
  }
  const std::unique_ptr<char, decltype(&g_free)> valid(
      g_utf8_make_valid(blanked.data(), static_cast<gssize>(blanked.size())), &g_free);
  const std::string_view clean = valid.get();
  const size_t first = clean.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(clean.substr(first, clean.find_last_not_of(' ') - first + 1));
}

std::string ShownUnit(std::string_view unit) {
  return unit == "KHz" ? std::string("kHz") : std::string(unit);
}

std::string FrequencyWithUnit(std::string_view frequency, std::string_view unit) {
  return CleanStationText(std::string(frequency) + " " + ShownUnit(unit));
}

}  // namespace host
