#include "driver_traffic.h"

#include <dlfcn.h>

#include <cstdint>

#include "halvane/driver_extras.h"

namespace host {
namespace {

void* Symbol(const std::string& driverPath, const char* name) {
  // The plug-in keeps the library loaded; this finds the same copy, and never unloads it either.
  void* library = ::dlopen(driverPath.c_str(), RTLD_NOW);
  return library != nullptr ? ::dlsym(library, name) : nullptr;
}

}  // namespace

std::optional<bool> ReadDriverTraffic(const std::string& driverPath) {
  using GetFn = int32_t (*)(int32_t, int32_t*);
  auto get = reinterpret_cast<GetFn>(Symbol(driverPath, HALVANE_FN_GET_TRAFFIC));
  int32_t state = 0;
  if (get == nullptr || get(0, &state) != 0) return std::nullopt;
  return (state & 1) != 0;
}

bool WriteDriverTraffic(const std::string& driverPath, bool on) {
  using SetFn = int32_t (*)(int32_t, int32_t);
  auto set = reinterpret_cast<SetFn>(Symbol(driverPath, HALVANE_FN_SET_TRAFFIC));
  return set != nullptr && set(0, on ? 1 : 0) == 0;
}

}  // namespace host
