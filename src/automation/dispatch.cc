#include "halvane/dispatch.h"

#include "halvane/errors.h"
#include "runtime/ascii.h"

namespace halvane {

bool MemberNameEquals(std::string_view a, std::string_view b) {
  return EqualsIgnoringAsciiCase(a, b);
}

Variant Invoke(const std::shared_ptr<Dispatch>& object, std::string_view member, CallKind kind,
               std::span<Variant> args) {
  if (!object) Raise(kNoObject, std::string(member));
  return object->Invoke(member, kind, args);
}

Variant GetProperty(const std::shared_ptr<Dispatch>& object, std::string_view member) {
  return Invoke(object, member, CallKind::PropertyGet);
}

void PutProperty(const std::shared_ptr<Dispatch>& object, std::string_view member, Variant value) {
  Variant args[1] = {std::move(value)};
  Invoke(object, member, CallKind::PropertyPut, args);
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): the signature hosts compile against.
void MemberTable::Define(std::string name, Handler handler) {
  members_[AsciiLowered(name)] = std::move(handler);
}

void MemberTable::Remove(std::string_view name) {
  auto it = members_.find(AsciiLowered(name));
  if (it != members_.end()) members_.erase(it);
}

bool MemberTable::Has(std::string_view name) const { return members_.contains(AsciiLowered(name)); }

Variant MemberTable::Invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  auto it = members_.find(AsciiLowered(member));
  if (it == members_.end()) Raise(kNoMember, std::string(member));
  return it->second(kind, args);
}

}  // namespace halvane
