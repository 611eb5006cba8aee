// Editing the store from the host: add, rename, delete and move. Adding, renaming and deleting
// save the list at once; a move reaches the file with the next save.
#include <string_view>

#include "context/module_context.h"
#include "halvane/errors.h"
#include "presets/mod_presets.h"
#include "tuner/mod_radio.h"

namespace halvane {
namespace {

// Deleting and moving act only on the radio screen, whose tag carries this (case-sensitive).
constexpr std::string_view kRadioScreenTag = "radio_player";

bool IsRadioScreen(const std::shared_ptr<Dispatch>& frm) {
  return host::Tag(frm).find(kRadioScreenTag) != std::string::npos;
}

// A name is one field of one line in the list file: a CR or LF in it would start a new line and
// shift every preset after it on reload, so each becomes a blank. Commas stay; the file format
// has none of its own quoting and a comma cuts the name on reload, as it always has.
std::string OneLineName(std::string name) {
  for (char& c : name)
    if (c == '\r' || c == '\n') c = ' ';
  return name;
}

}  // namespace

void ModPresets::AddPreset(const std::string& name) {
  if (Count() >= kMaxPresets) Raise(kOverflow);
  table_.Append(std::to_string(radio_.currentFreq()), OneLineName(name));
  SaveEdit();
}

void ModPresets::RenamePreset(const std::string& name, int16_t row) {
  if (row < 0) return;  // no row was highlighted when the edit began
  if (row >= Count()) Raise(kSubscriptRange);
  table_.SetName(static_cast<size_t>(row) + 1, OneLineName(name));
  SaveEdit();
}

void ModPresets::DeletePreset(const std::shared_ptr<Dispatch>& frm) {
  if (!IsRadioScreen(frm)) return;
  const int32_t row = host::ListValue(host::PL(frm)).ToInt32();
  // No row highlighted (-2), or a row past the last preset: nothing is deleted.
  if (row < 0 || row >= Count()) Raise(kSubscriptRange);
  table_.Erase(static_cast<size_t>(row) + 1);
  RadioRefresh(frm);
  SaveEdit();
}

// Moves only while the tuned frequency is one of the presets (currentPreset is not 0), and never
// past either end of the list.
void ModPresets::MovePreset(const std::shared_ptr<Dispatch>& frm, bool up) {
  if (!frm) return;
  if (host::EqualsFalse(host::ShowPL(frm))) return;
  if (!IsRadioScreen(frm)) return;
  const int16_t row = host::PLValue(frm);
  const int16_t count = Count();
  const int16_t chosen = static_cast<int16_t>(row + 1);  // only used where row < count
  bool moved = false;
  if (up) {
    if (row < count && currentPreset_ != 0 && row > 0) {
      table_.Swap(static_cast<size_t>(chosen) - 1, static_cast<size_t>(chosen));
      moved = true;
    }
  } else {
    if (row < count - 1 && currentPreset_ != 0 && row >= 0) {
      table_.Swap(static_cast<size_t>(chosen), static_cast<size_t>(chosen) + 1);
      moved = true;
    }
  }
  if (moved) FillPresetList(frm);
}

}  // namespace halvane
