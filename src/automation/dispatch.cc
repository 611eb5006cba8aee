#include "halvane/dispatch.h"

#include <strings.h>

#include "halvane/errors.h"

namespace halvane {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

bool MemberNameEquals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
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

void MemberTable::Define(std::string name, Handler handler) {
  members_[Lower(name)] = std::move(handler);
}

void MemberTable::Remove(std::string_view name) {
  auto it = members_.find(Lower(name));
  if (it != members_.end()) members_.erase(it);
}

bool MemberTable::Has(std::string_view name) const { return members_.count(Lower(name)) != 0; }

Variant MemberTable::Invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  auto it = members_.find(Lower(member));
  if (it == members_.end()) Raise(kNoMember, std::string(member));
  return it->second(kind, args);
}

}  // namespace halvane
