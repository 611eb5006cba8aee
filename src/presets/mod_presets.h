// The preset store: its list files and named presets, the host's preset list and its editing,
// recall and stepping. Frequencies are kept as text exactly as read or added; every numeric use
// goes through the leading-number reading, done once when a text is stored.
#ifndef HALVANE_PRESETS_MOD_PRESETS_H
#define HALVANE_PRESETS_MOD_PRESETS_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "halvane/file_names.h"
#include "presets/preset_table.h"

namespace halvane {

class Dispatch;
class ModRadio;
class ModuleContext;

inline constexpr int16_t kMaxPresets = 32767;

class ModPresets {
 public:
  ModPresets(ModuleContext& context, ModRadio& radio) : c_(context), radio_(radio) {}

  // Store and files.
  void ResetPresets();
  int16_t LoadPresets(const std::string& fileName);
  void SavePresets();
  void ToggleLocalPresets(const std::shared_ptr<Dispatch>& frm);
  void SetLocalPresets(const std::shared_ptr<Dispatch>& frm, bool mode);
  void SaveNamedPreset(const std::string& name);
  // The frequency stored under the name, for the plug-in to tune; nothing when there is no such
  // file.
  std::optional<int32_t> LoadNamedPreset(const std::string& name);

  // The host's list and editing. RadioRefresh redraws the list while the radio is active.
  void RadioRefresh(const std::shared_ptr<Dispatch>& frm);
  void FillPresetList(const std::shared_ptr<Dispatch>& frm);
  void SelectCurrentPreset(const std::shared_ptr<Dispatch>& frm);
  void AddPreset(const std::string& name);
  void RenamePreset(const std::string& name, int16_t row);
  void DeletePreset(const std::shared_ptr<Dispatch>& frm);
  void MovePreset(const std::shared_ptr<Dispatch>& frm, bool up);

  // Recall and stepping.
  void RecallPreset(int16_t n);
  void NextPreset();
  void PreviousPreset();

  // The number of presets (the arrays' upper bound); error 9 before the arrays exist.
  int16_t Count() const;
  // A preset's frequency as a number: the leading number of its text. Error 9 outside 1..Count().
  double FrequencyOf(int16_t i) const;
  // The last preset whose frequency equals `freq` (the later of two matches wins); 0 for none.
  int16_t PresetHolding(int32_t freq) const;
  // Preset i's row in the host's list: "1. 87.5 - Name" (FM in MHz), "2. 1000 - News" (AM as
  // stored).
  std::string RowText(int16_t i) const;
  // The path of the active list file.
  std::string ListFilePath() const;

  // The presets' frequency texts and names, as read or added; slot 0 holds no preset and the
  // presets occupy 1..Count(). No slots until the first ResetPresets.
  std::string_view presetFreqs(int16_t i) const { return table_.Freq(Slot(i)); }
  std::string_view presetNames(int16_t i) const { return table_.Name(Slot(i)); }
  // Every preset's texts and leading number (see PresetTable).
  const PresetTable& table() const { return table_; }
  // The preset last recalled or found at the tuned frequency; 0 for none.
  int16_t currentPreset() const { return currentPreset_; }
  // The list file's second and third header values, kept as read and written back on save.
  int32_t headerValue2() const { return headerValue2_; }
  int32_t headerValue3() const { return headerValue3_; }

 private:
  // Logs that a save failed, or that the first save after failures succeeded.
  void NoteSave(const std::string& path, const std::string& failure);
  bool lastSaveFailed_ = false;
  // The lines past the 32767th preset, exactly as the file had them: they are written back
  // after the store's presets, so that a save never drops what it could not number.
  std::string linesBeyondCap_;
  // The lines among the presets that hold none, written back where they stood.
  std::vector<PresetTable::KeptLines> keptLines_;
  // Why the last load found a file that is no list ("" otherwise): it has neither a header nor
  // a preset. Only the user's own edits (or clearing) write over it; other saves skip it.
  std::string notAList_;
  // A save the user asked for: writes over a file that is no list.
  void SaveEdit() {
    notAList_.clear();
    SavePresets();
  }
  // Why the last load found a list it could not read ("" when it read one or found none). Such
  // a store was never loaded from its file, so nothing is saved over it until a load succeeds.
  std::string unreadList_;
  // The active list file when the store was last loaded or cleared ("" when the settings could
  // not be read then): the file its saves go to.
  std::string storeList_;
  // A slot of the table; error 9 outside it.
  size_t Slot(int16_t i) const;

  ModuleContext& c_;
  ModRadio& radio_;
  PresetTable table_;
  int16_t currentPreset_ = 0;
  int32_t headerValue2_ = 0;
  int32_t headerValue3_ = 0;
};

}  // namespace halvane

#endif
