#include "minimal_host.h"

#include "halvane/errors.h"

namespace bench {

using halvane::CallKind;
using halvane::MemberNameEquals;
using halvane::Variant;

namespace {

const std::string* FirstText(std::span<Variant> args) {
  return args.empty() ? nullptr : args[0].AsString();
}

[[noreturn]] void NoMember(std::string_view member) {
  halvane::Raise(halvane::kNoMember, std::string(member));
}

}  // namespace

Variant MinimalSdk::Invoke(std::string_view member, CallKind, std::span<Variant> args) {
  if (MemberNameEquals(member, "GetInfo")) {
    const std::string* name = FirstText(args);
    auto it = name ? vars.find(*name) : vars.end();
    return it == vars.end() ? Variant(std::string()) : it->second;
  }
  if (MemberNameEquals(member, "GetUserVar")) {
    const std::string* name = FirstText(args);
    auto it = name ? userVars.find(*name) : userVars.end();
    return it == userVars.end() ? Variant(std::string()) : Variant(it->second);
  }
  if (MemberNameEquals(member, "DMLOG") || MemberNameEquals(member, "Errscrn")) return {};
  NoMember(member);
}

Variant MinimalList::Invoke(std::string_view member, CallKind, std::span<Variant>) {
  if (MemberNameEquals(member, "AddItem") || MemberNameEquals(member, "Clear") ||
      MemberNameEquals(member, "CenterList"))
    return {};
  if (MemberNameEquals(member, "Value")) return Variant(int32_t{-1});
  NoMember(member);
}

Variant MinimalScreen::Invoke(std::string_view member, CallKind, std::span<Variant>) {
  if (MemberNameEquals(member, "PL")) return Variant(std::shared_ptr<halvane::Dispatch>(list));
  if (MemberNameEquals(member, "ShowPL")) return Variant(true);
  if (MemberNameEquals(member, "Tag")) return Variant("radio_player.skin");
  if (MemberNameEquals(member, "PLValue")) return Variant(int16_t{0});
  NoMember(member);
}

}  // namespace bench
