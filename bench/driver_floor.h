// The floor of one driver call: what any gate that names the function on every call must do,
// written as plainly as it can be: load the library (a reference-count increment once it is
// mapped), look the function up by name, and call it through a pointer of the right type.
#ifndef HALVANE_BENCH_DRIVER_FLOOR_H
#define HALVANE_BENCH_DRIVER_FLOOR_H

#include <dlfcn.h>

#include <cstdint>
#include <string>

namespace bench {

// The folder to hand the plug-in as "=$DMPath$" (ends in "/"), and the instant driver's path
// under it, where the plug-in looks for its tuner.
std::string InstantDriverHome();
const std::string& InstantDriverPath();

template <class... Params, class... Args>
inline int32_t FloorCall(const char* library, const char* function, Args... args) {
  void* handle = ::dlopen(library, RTLD_NOW);
  if (handle == nullptr) return -1;
  void* address = ::dlsym(handle, function);
  if (address == nullptr) return -1;
  return reinterpret_cast<int32_t (*)(Params...)>(address)(args...);
}

}  // namespace bench

#endif
