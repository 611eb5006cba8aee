#include "driver_volume.h"

#include <dlfcn.h>

namespace host {
namespace {

void* Symbol(const std::string& driverPath, const char* name) {
  // The plug-in keeps the library loaded; this finds the same copy, and never unloads it either.
  void* library = ::dlopen(driverPath.c_str(), RTLD_NOW);
  return library != nullptr ? ::dlsym(library, name) : nullptr;
}

}  // namespace

std::optional<int32_t> ReadDriverVolume(const std::string& driverPath) {
  using GetFn = int32_t (*)(int32_t, int32_t*);
  auto get = reinterpret_cast<GetFn>(Symbol(driverPath, "radioGetVolume"));
  int32_t percent = 0;
  if (get == nullptr || get(0, &percent) != 0) return std::nullopt;
  return percent;
}

bool WriteDriverVolume(const std::string& driverPath, int32_t percent) {
  using SetFn = int32_t (*)(int32_t, int32_t);
  auto set = reinterpret_cast<SetFn>(Symbol(driverPath, "radioSetVolume"));
  return set != nullptr && set(0, percent) == 0;
}

}  // namespace host
