#include "plugin/keyboard_dialogue.h"

#include "plugin/command_table.h"
#include "plugin/dm_radio.h"
#include "plugin/typed_frequency.h"
#include "runtime/ascii.h"
#include "runtime/numbers.h"

namespace halvane {
namespace {
constexpr int16_t kNoRow = -1;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The recorded command applied to what the user typed on the keyboard screen `frm`.
void ActOnTypedText(DMRadio& radio, const ObjectRef& frm) {
  Component& c = radio.component();
  const NumberFormat& numbers = c.Numbers();
  const std::string pending = radio.oskCommand;
  if (pending == "tune") {
    ObjectRef box = host::Txt(frm, 0);
    const std::string firstReading = host::TextBoxDefault(box).ToString(&numbers);
    const std::string text = host::TextBoxText(box).ToString(&numbers);
    c.radio.TuneTo(KeyboardFrequency(firstReading, text, numbers));
  } else if (pending == "preset") {
    const std::string text = host::TextBoxText(host::Txt(frm, 0)).ToString(&numbers);
    c.presets.RecallPreset(ToInt16(LeadingNumber(text)));
  } else if (pending == "addpreset") {
    c.presets.AddPreset(host::TextBoxText(host::Txt(frm, 0)).ToString(&numbers));
    c.presets.RadioRefresh(frm);
  } else if (pending == "editpreset") {
    c.presets.RenamePreset(host::TextBoxText(host::Txt(frm, 0)).ToString(&numbers),
                           radio.oskPresetRow);
    c.presets.RadioRefresh(frm);
  }
}

}  // namespace

void KeyboardRequest(DMRadio& radio, std::string_view command, const ObjectRef& frm) {
  radio.oskCommand = AsciiLowered(command);
  radio.oskPresetRow = kNoRow;
  if (Contains(host::Tag(frm), kRadioScreenTag)) {
    radio.oskPresetRow = host::ListValue(host::PL(frm)).ToInt16(&radio.component().Numbers());
  }
}

void KeyboardConfirm(DMRadio& radio, const ObjectRef& frm) {
  if (Contains(host::Tag(frm), kKeyboardSkinTag)) ActOnTypedText(radio, frm);
  radio.oskPresetRow = kNoRow;
  radio.oskCommand.clear();
}

}  // namespace halvane
