// The plug-in object the host creates: thin methods over the tuner and preset modules, the two
// timers, the keyboard-dialogue state of the command dispatcher, and the searches.
#ifndef HALVANE_PLUGIN_DM_RADIO_H
#define HALVANE_PLUGIN_DM_RADIO_H

#include <memory>
#include <string>

#include "halvane/dm_radio.h"
#include "plugin/component.h"
#include "plugin/keyboard_dialogue.h"
#include "plugin/search.h"
#include "timers/ctimer.h"

namespace halvane {

inline constexpr const char* kModelName = "Halvane 600";

class DMRadio final : public IDMRadio, public Dispatch, public PluginSettings {
 public:
  explicit DMRadio(Component& component);
  ~DMRadio() override;
  DMRadio(const DMRadio&) = delete;
  DMRadio& operator=(const DMRadio&) = delete;

  std::string ConfigPath() override { return configPath_; }
  void ConfigPath(const std::string& value) override { configPath_ = value; }
  std::string CachePath() override { return cachePath_; }
  void CachePath(const std::string& value) override { cachePath_ = value; }
  bool SeekMode() override { return seekMode_; }
  void SeekMode(bool value) override { seekMode_ = value; }
  bool LocalMode() override { return localMode_; }
  void LocalMode(bool value) override { localMode_ = value; }
  bool PresetMode() override { return presetMode_; }
  void PresetMode(bool value) override { presetMode_ = value; }
  bool RDSTAEnabled() override { return rdstaEnabled_; }
  void RDSTAEnabled(bool value) override { rdstaEnabled_ = value; }
  SModes SearchMode() override { return search_.Mode(); }
  void SearchMode(SModes value) override { search_.Mode(value); }

  std::string GetName() override { return kModelName; }
  TunerTypes TunerType() override { return TunerTypes::RDSAdvanced; }
  bool IsActive() override;
  void StartRadio() override;
  void StopRadio() override;
  void SetActive(bool& state) override;
  void Refresh(std::shared_ptr<Dispatch>& frm) override;
  int32_t Freq() override;
  void Tune(int32_t& F) override;
  void PresetRecall(int16_t& Preset) override;
  bool Check() override;
  std::string GetArtwork() override;
  int16_t ProcessCommand(std::string& CMD, std::shared_ptr<Dispatch>& frm) override;
  std::string ReturnLabel(std::string& LBL, std::string& FMT) override;
  int32_t ReturnSlider(std::string& SLD) override;
  std::string ReturnIndicatorEx(std::string& IND) override;

  // Calls by member name.
  Variant Invoke(std::string_view member, CallKind kind, std::span<Variant> args) override;

  // Stops surf, scan and preset learning.
  void StopSearch() { search_.Stop(); }
  void StatusTimer_Timer();
  void SurfTimer_Timer() { search_.Tick(); }

  Component& component() { return c_; }
  // Surf, scan and preset learning, with SurfTimer.
  Search& search() { return search_; }

  // The 100 ms status poll's timer; null when it could not be made.
  CTimer* StatusTimer() const { return statusTimer_.get(); }
  // The on-screen keyboard's pending command and the list row recorded with it.
  KeyboardDialogue& keyboard() { return keyboard_; }
  const std::string& oskCommand() const { return keyboard_.oskCommand(); }
  int16_t oskPresetRow() const { return keyboard_.oskPresetRow(); }

 private:
  Component& c_;
  Search search_;
  std::unique_ptr<CTimer> statusTimer_;
  KeyboardDialogue keyboard_;
  std::string configPath_;
  std::string cachePath_;
  bool seekMode_ = false;
  bool localMode_ = false;
  bool presetMode_ = false;
  bool rdstaEnabled_ = false;
};

}  // namespace halvane

#endif
