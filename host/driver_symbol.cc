#include "driver_symbol.h"

#include <dlfcn.h>

namespace host {

void* DriverSymbol(const std::string& driverPath, const char* name) {
  // The plug-in keeps the library loaded; this finds the same copy, and never unloads it either.
  void* library = ::dlopen(driverPath.c_str(), RTLD_NOW);
  return library != nullptr ? ::dlsym(library, name) : nullptr;
}

}  // namespace host
