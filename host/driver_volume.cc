#include "driver_volume.h"

#include "driver_symbol.h"

namespace host {

std::optional<int32_t> ReadDriverVolume(const std::string& driverPath) {
  using GetFn = int32_t (*)(int32_t, int32_t*);
  auto get = reinterpret_cast<GetFn>(DriverSymbol(driverPath, "radioGetVolume"));
  int32_t percent = 0;
  if (get == nullptr || get(0, &percent) != 0) return std::nullopt;
  return percent;
}

bool WriteDriverVolume(const std::string& driverPath, int32_t percent) {
  using SetFn = int32_t (*)(int32_t, int32_t);
  auto set = reinterpret_cast<SetFn>(DriverSymbol(driverPath, "radioSetVolume"));
  return set != nullptr && set(0, percent) == 0;
}

}  // namespace host
