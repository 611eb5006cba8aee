#include "fake_host.h"

#include "halvane/errors.h"

namespace fake {

using halvane::CallKind;
using halvane::Raise;

namespace {
Variant& Arg0(std::span<Variant> a) {
  if (a.empty()) Raise(halvane::kArgumentNotOptional);
  return a[0];
}
}  // namespace

Sdk::Sdk() {
  Define("GetInfo", [this](CallKind, std::span<Variant> a) {
    std::string name = Arg0(a).ToString();
    asked.push_back(name);
    if (failingVars.count(name)) Raise(halvane::kInvalidCall, name);
    auto it = vars.find(name);
    return it == vars.end() ? Variant(std::string()) : it->second;
  });
  Define("GetUserVar",
         [this](CallKind, std::span<Variant> a) { return Variant(userVars[Arg0(a).ToString()]); });
  Define("DMLOG", [this](CallKind, std::span<Variant> a) {
    log.push_back(Arg0(a).ToString());
    return Variant();
  });
  Define("Errscrn", [this](CallKind, std::span<Variant> a) {
    std::vector<std::string> args;
    for (auto& v : a) args.push_back(v.ToString());
    errscrns.push_back(args);
    return Variant();
  });
}

List::List() {
  Define("Value", [this](CallKind k, std::span<Variant> a) {
    if (k == CallKind::PropertyPut) {
      value = a.back();
      valuesWritten.push_back(value.ToInt32());
      events.push_back("Value=" + value.ToString());
      return Variant();
    }
    events.push_back("Value?");
    return value;
  });
  Define("Clear", [this](CallKind, std::span<Variant>) {
    rows.clear();
    events.push_back("Clear");
    return Variant();
  });
  Define("AddItem", [this](CallKind, std::span<Variant> a) {
    rows.push_back(Arg0(a).ToString());
    events.push_back("AddItem " + rows.back());
    return Variant();
  });
  Define("CenterList", [this](CallKind, std::span<Variant>) {
    events.push_back("CenterList");
    return Variant();
  });
}

TextBox::TextBox() {
  Define("Text", [this](CallKind k, std::span<Variant> a) {
    if (k == CallKind::PropertyPut) return text = a.back(), Variant();
    return text;
  });
  Define(std::string(halvane::kDefaultMember),
         [this](CallKind, std::span<Variant>) { return text; });
}

Screen::Screen(std::string t, bool show) : tag(std::move(t)), showPL(show) {
  Define("Tag", [this](CallKind, std::span<Variant>) {
    events.push_back("Tag?");
    return tag;
  });
  Define("ShowPL", [this](CallKind, std::span<Variant>) {
    events.push_back("ShowPL?");
    return showPL;
  });
  Define("PLValue", [this](CallKind, std::span<Variant>) {
    events.push_back("PLValue?");
    return plValue;
  });
  Define("PL", [this](CallKind, std::span<Variant>) {
    events.push_back("PL?");
    return Variant(std::static_pointer_cast<halvane::Dispatch>(list));
  });
  Define("txt", [this](CallKind, std::span<Variant> a) {
    int32_t i = Arg0(a).ToInt32();
    events.push_back("txt(" + std::to_string(i) + ")?");
    if (i < 0 || static_cast<size_t>(i) >= txt.size()) Raise(halvane::kSubscriptRange);
    return Variant(std::static_pointer_cast<halvane::Dispatch>(txt[i]));
  });
}

}  // namespace fake
