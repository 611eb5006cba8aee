#include "plugin/keyboard_dialogue.h"

#include "plugin/command_table.h"
#include "plugin/component.h"
#include "plugin/typed_frequency.h"
#include "runtime/ascii.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {
constexpr int16_t kNoRow = -1;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

// The recorded command applied to what the user typed on the keyboard screen `frm`.
void KeyboardDialogue::ActOnTypedText(Component& c, const ObjectRef& frm) {
  const NumberFormat& numbers = c.Numbers();
  const std::string pending = oskCommand_;
  if (pending == "tune") {
    ObjectRef box = host::Txt(frm, 0);
    const std::string firstReading = host::TextBoxDefault(box).ToString(&numbers);
    const std::string text = host::TextBoxText(box).ToString(&numbers);
    c.radio().TuneTo(KeyboardFrequency(firstReading, text, numbers));
  } else if (pending == "preset") {
    const std::string text = host::TextBoxText(host::Txt(frm, 0)).ToString(&numbers);
    c.presets().RecallPreset(ToInt16(LeadingNumber(text)));
  } else if (pending == "addpreset") {
    c.presets().AddPreset(host::TextBoxText(host::Txt(frm, 0)).ToString(&numbers));
    c.presets().RadioRefresh(frm);
  } else if (pending == "editpreset") {
    c.presets().RenamePreset(host::TextBoxText(host::Txt(frm, 0)).ToString(&numbers),
                             oskPresetRow_);
    c.presets().RadioRefresh(frm);
  }
}

void KeyboardDialogue::Request(Component& c, std::string_view command, const ObjectRef& frm) {
  oskCommand_ = AsciiLowered(command);
  oskPresetRow_ = kNoRow;
  if (Contains(host::Tag(frm), kRadioScreenTag))
    oskPresetRow_ = host::ListValue(host::PL(frm)).ToInt16(&c.Numbers());
}

void KeyboardDialogue::Confirm(Component& c, const ObjectRef& frm) {
  if (Contains(host::Tag(frm), kKeyboardSkinTag)) ActOnTypedText(c, frm);
  oskPresetRow_ = kNoRow;
  oskCommand_.clear();
}

}  // namespace halvane
