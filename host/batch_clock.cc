#include "batch_clock.h"

#include <dlfcn.h>

namespace host {

bool BatchClock::Hold(const std::string& path) {
  if (auto it = held_.find(path); it != held_.end()) return it->second != nullptr;
  // The plug-in loads the same path and never unloads it, so both share one copy of the
  // driver's state; this handle is kept for the life of the process too. A library that is not
  // there yet is looked for again next time.
  void* library = ::dlopen(path.c_str(), RTLD_NOW);
  if (library == nullptr) return false;
  using UseManualFn = int32_t (*)(int32_t);
  auto useManual = reinterpret_cast<UseManualFn>(::dlsym(library, "HalvaneSimUseManualClock"));
  auto advance = reinterpret_cast<AdvanceFn>(::dlsym(library, "HalvaneSimAdvanceClock"));
  if (useManual != nullptr && advance != nullptr)
    useManual(1);
  else
    advance = nullptr;
  held_[path] = advance;
  return advance != nullptr;
}

void BatchClock::Advance(int32_t ms) {
  for (auto& [path, advance] : held_)
    if (advance != nullptr) advance(ms);
}

}  // namespace host
