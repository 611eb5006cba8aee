#include "v4l2/driver_quirks.h"

#include <string_view>

namespace halvane::driver::v4l2 {
namespace {

// The kernel's driver names for the chips; a name containing one of these is that driver.
constexpr std::string_view kSi476x = "si476x";
constexpr std::string_view kWl128x[] = {"ti_fmdrv", "wl128x"};

}  // namespace

DriverQuirks QuirksOf(const v4l2_capability& capabilities) {
  const auto* bytes = reinterpret_cast<const char*>(capabilities.driver);
  const std::string_view driver(bytes,
                                std::string_view(bytes, sizeof capabilities.driver).find('\0'));
  DriverQuirks quirks;
  quirks.misreadsSeekSpacing = driver.find(kSi476x) != std::string_view::npos;
  for (std::string_view name : kWl128x) {
    if (driver.find(name) != std::string_view::npos) quirks.neverFlagsBlockErrors = true;
  }
  return quirks;
}

}  // namespace halvane::driver::v4l2
