#include "minimal_host.h"

namespace bench {

using halvane::CallKind;
using halvane::Variant;

namespace {
const Variant kNothing;
}

MinimalSdk::MinimalSdk() {
  Define("GetInfo", [this](CallKind, std::span<Variant> a) {
    const std::string* name = a.empty() ? nullptr : a[0].AsString();
    if (name == nullptr) return kNothing;
    auto it = vars.find(*name);
    return it == vars.end() ? Variant(std::string()) : it->second;
  });
  Define("GetUserVar", [this](CallKind, std::span<Variant> a) {
    const std::string* name = a.empty() ? nullptr : a[0].AsString();
    if (name == nullptr) return kNothing;
    auto it = userVars.find(*name);
    return it == userVars.end() ? Variant(std::string()) : Variant(it->second);
  });
  Define("DMLOG", [](CallKind, std::span<Variant>) { return kNothing; });
  Define("Errscrn", [](CallKind, std::span<Variant>) { return kNothing; });
}

MinimalList::MinimalList() {
  // The highlight is written and read back as "no row"; rows are dropped.
  Define("Value", [](CallKind, std::span<Variant>) { return Variant(int32_t{-1}); });
  Define("Clear", [](CallKind, std::span<Variant>) { return kNothing; });
  Define("AddItem", [](CallKind, std::span<Variant>) { return kNothing; });
  Define("CenterList", [](CallKind, std::span<Variant>) { return kNothing; });
}

MinimalScreen::MinimalScreen() {
  Define("Tag", [](CallKind, std::span<Variant>) { return Variant("radio_player.skin"); });
  Define("ShowPL", [](CallKind, std::span<Variant>) { return Variant(true); });
  Define("PLValue", [](CallKind, std::span<Variant>) { return Variant(int16_t{0}); });
  Define("PL", [this](CallKind, std::span<Variant>) {
    return Variant(std::static_pointer_cast<halvane::Dispatch>(list));
  });
}

}  // namespace bench
