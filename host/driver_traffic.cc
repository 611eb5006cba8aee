#include "driver_traffic.h"

#include <cstdint>

#include "driver_symbol.h"
#include "halvane/driver_extras.h"

namespace host {

std::optional<bool> ReadDriverTraffic(const std::string& driverPath) {
  using GetFn = int32_t (*)(int32_t, int32_t*);
  auto get = reinterpret_cast<GetFn>(DriverSymbol(driverPath, HALVANE_FN_GET_TRAFFIC));
  int32_t state = 0;
  if (get == nullptr || get(0, &state) != 0) return std::nullopt;
  return (state & 1) != 0;
}

bool WriteDriverTraffic(const std::string& driverPath, bool on) {
  using SetFn = int32_t (*)(int32_t, int32_t);
  auto set = reinterpret_cast<SetFn>(DriverSymbol(driverPath, HALVANE_FN_SET_TRAFFIC));
  return set != nullptr && set(0, on ? 1 : 0) == 0;
}

}  // namespace host
