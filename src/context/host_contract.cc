#include "context/host_contract.h"

#include <optional>
#include <utility>

#include "halvane/errors.h"

namespace halvane::host {
namespace {

Variant Call(const ObjectRef& o, std::string_view member, std::initializer_list<Variant> args) {
  Variant buf[4];
  size_t n = 0;
  for (const auto& a : args) buf[n++] = a;
  return Invoke(o, member, CallKind::Method, std::span<Variant>(buf, n));
}

// A comparison with a Boolean constant: the value as a number, text "True"/"False" as Booleans.
std::optional<double> AsComparable(const Variant& v) {
  try {
    return v.ToDouble();
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
}

}  // namespace

Variant GetInfo(const ObjectRef& sdk, std::string_view variable) {
  return Call(sdk, "GetInfo", {Variant(std::string(variable))});
}

std::string GetUserVar(const ObjectRef& sdk, std::string_view name) {
  return Call(sdk, "GetUserVar", {Variant(std::string(name))}).ToString();
}

void DMLOG(const ObjectRef& sdk, const std::string& line) { Call(sdk, "DMLOG", {Variant(line)}); }

void Errscrn(const ObjectRef& sdk, const std::string& title, const std::string& caption,
             const std::string& message, bool flag) {
  Call(sdk, "Errscrn", {Variant(title), Variant(caption), Variant(message), Variant(flag)});
}

std::string Tag(const ObjectRef& frm) { return GetProperty(frm, "Tag").ToString(); }

Variant ShowPL(const ObjectRef& frm) { return GetProperty(frm, "ShowPL"); }

int16_t PLValue(const ObjectRef& frm) { return GetProperty(frm, "PLValue").ToInt16(); }

ObjectRef PL(const ObjectRef& frm) {
  auto pl = GetProperty(frm, "PL").ToObject();
  if (!pl) Raise(kNoObject, "PL");
  return pl;
}

ObjectRef Txt(const ObjectRef& frm, int16_t index) {
  Variant args[1] = {Variant(index)};
  auto box = Invoke(frm, "txt", CallKind::PropertyGet, args).ToObject();
  if (!box) Raise(kNoObject, "txt");
  return box;
}

Variant ListValue(const ObjectRef& pl) { return GetProperty(pl, "Value"); }

void SetListValue(const ObjectRef& pl, int32_t row) { PutProperty(pl, "Value", Variant(row)); }

void ListClear(const ObjectRef& pl) { Call(pl, "Clear", {}); }

// A redraw adds every row, one call each: the row moves into the argument, nothing is copied.
void ListAddItem(const ObjectRef& pl, std::string row) {
  Variant args[1] = {Variant(std::move(row))};
  Invoke(pl, "AddItem", CallKind::Method, args);
}

void ListCenterList(const ObjectRef& pl) { Call(pl, "CenterList", {}); }

Variant TextBoxText(const ObjectRef& box) { return GetProperty(box, "Text"); }

Variant TextBoxDefault(const ObjectRef& box) { return GetProperty(box, kDefaultMember); }

bool EqualsTrue(const Variant& v) {
  auto n = AsComparable(v);
  return n && *n == -1.0;
}

bool EqualsFalse(const Variant& v) {
  auto n = AsComparable(v);
  return n && *n == 0.0;
}

}  // namespace halvane::host
