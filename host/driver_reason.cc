#include "driver_reason.h"

#include <dlfcn.h>

#include <cstdint>
#include <vector>

namespace host {

std::string DriverReason(const std::string& driverPath) {
  void* library = ::dlopen(driverPath.c_str(), RTLD_NOW);
  if (library == nullptr) {
    // The loader's words name the file and what is wrong with it.
    const char* why = ::dlerror();
    return "the tuner driver can't be loaded: " + (why != nullptr ? std::string(why) : driverPath);
  }
  using ReasonFn = int32_t (*)(char*, int32_t);
  auto reason = reinterpret_cast<ReasonFn>(::dlsym(library, "radioLastReason"));
  if (reason == nullptr) return {};
  // The first call asks for the length; the reason can't change between the two calls, both run
  // on this thread.
  const int32_t length = reason(nullptr, 0);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<size_t>(length) + 1);
  const int32_t copied = reason(buffer.data(), static_cast<int32_t>(buffer.size()));
  if (copied <= 0) return {};
  return std::string(buffer.data());
}

}  // namespace host
