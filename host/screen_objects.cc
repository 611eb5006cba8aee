#include "screen_objects.h"

#include "halvane/errors.h"

namespace host {
namespace {

using halvane::CallKind;
using halvane::Variant;

// A member that is a read-only property.
void CheckGet(CallKind kind, const char* name) {
  if (kind == CallKind::PropertyPut) halvane::Raise(halvane::kNoMember, name);
}

const Variant& PutValue(std::span<Variant> args) {
  if (args.empty()) halvane::Raise(halvane::kArgumentNotOptional);
  return args.back();
}

}  // namespace

ListControl::ListControl() {
  Define("Value", [this](CallKind kind, std::span<Variant> args) {
    if (kind == CallKind::PropertyPut) {
      value = PutValue(args).ToInt32();
      return Variant();
    }
    return Variant(value);
  });
  Define("Clear", [this](CallKind, std::span<Variant>) {
    rows.clear();
    ++generation;
    return Variant();
  });
  Define("AddItem", [this](CallKind, std::span<Variant> args) {
    if (args.empty()) halvane::Raise(halvane::kArgumentNotOptional);
    rows.push_back(args[0].ToString());
    ++generation;
    return Variant();
  });
  // The host keeps the highlighted row in view when it draws; nothing to do here.
  Define("CenterList", [](CallKind, std::span<Variant>) { return Variant(); });
}

TextBox::TextBox() {
  auto textMember = [this](CallKind kind, std::span<Variant> args) {
    if (kind == CallKind::PropertyPut) {
      text = PutValue(args).ToString();
      return Variant();
    }
    return Variant(text);
  };
  Define("Text", textMember);
  Define(std::string(halvane::kDefaultMember), textMember);
}

ScreenObject::ScreenObject(std::string tagText, bool shows)
    : tag(std::move(tagText)), showPL(shows) {
  Define("Tag", [this](CallKind kind, std::span<Variant>) {
    CheckGet(kind, "Tag");
    return Variant(tag);
  });
  Define("ShowPL", [this](CallKind kind, std::span<Variant>) {
    CheckGet(kind, "ShowPL");
    return Variant(showPL);
  });
  Define("PLValue", [this](CallKind kind, std::span<Variant>) {
    CheckGet(kind, "PLValue");
    return Variant(list->value);
  });
  Define("PL", [this](CallKind kind, std::span<Variant>) {
    CheckGet(kind, "PL");
    return Variant(std::shared_ptr<halvane::Dispatch>(list));
  });
  Define("txt", [this](CallKind kind, std::span<Variant> args) {
    CheckGet(kind, "txt");
    if (args.empty()) halvane::Raise(halvane::kArgumentNotOptional);
    int32_t index = args[0].ToInt32();
    if (index < 0 || static_cast<size_t>(index) >= txt.size())
      halvane::Raise(halvane::kSubscriptRange, "txt");
    return Variant(std::shared_ptr<halvane::Dispatch>(txt[static_cast<size_t>(index)]));
  });
}

std::shared_ptr<ScreenObject> MakeRadioScreen() {
  return std::make_shared<ScreenObject>("radio_player.skin", true);
}

std::shared_ptr<ScreenObject> MakeKeyboardScreen() {
  return std::make_shared<ScreenObject>("osk.skin", false);
}

std::shared_ptr<ScreenObject> MakePlainScreen() {
  return std::make_shared<ScreenObject>("main.skin", false);
}

}  // namespace host
