// The radio session's actions on presets, bands, volume and the traffic switch, and the keys'
// table turned into them.
#include "driver_traffic.h"
#include "halvane/errors.h"
#include "host_settings.h"
#include "radio_session.h"
#include "session_words.h"

namespace host {
using session::kChooseFirst;
using session::kEmptyList;
using session::kTrafficSetting;

bool RadioSession::Act(const KeyBinding& binding) {
  switch (binding.action) {
    case KeyAction::Command:
      Command(binding.command);
      return true;
    case KeyAction::RecallPreset:
      Recall(binding.preset);
      return true;
    case KeyAction::HighlightUp:
      MoveHighlight(-1);
      return true;
    case KeyAction::HighlightDown:
      MoveHighlight(1);
      return true;
    case KeyAction::RecallHighlight:
      RecallHighlight();
      return true;
    case KeyAction::VolumeUp:
      StepVolume(kVolumeStep);
      return true;
    case KeyAction::VolumeDown:
      StepVolume(-kVolumeStep);
      return true;
    case KeyAction::SwitchBand:
      SwitchBand();
      return true;
    case KeyAction::Traffic:
      SetTrafficSwitch(!trafficSwitch());
      return true;
    case KeyAction::CommandLine:
      OpenCommandLine();
      return true;
    case KeyAction::Help:
    case KeyAction::Quit:
      return false;
  }
  return false;
}

void RadioSession::SwitchBand() {
  int32_t freq = 0;
  try {
    freq = host_.Radio().Freq();
  } catch (const halvane::RuntimeError&) {
  }
  const int32_t other = halvane::band::IsFm(freq) ? lastAm_ : lastFm_;
  // Unscaled, as the plug-in takes a number without a decimal mark: kHz or 10 kHz units.
  RunAction("rtune;" + std::to_string(other));
}

void RadioSession::StorePreset() {
  if (!host_.HasPlugin()) return;
  int16_t result = -1;
  if (!Run("addpreset", host_.radioScreen, "Can't store the station", &result) || result != 0)
    return;
  std::string name = Label("rdsname");
  if (name.empty()) name = Label("frequency");
  host_.keyboardScreen->txt[0]->text = name;
  const int32_t before = rowCount();
  if (!Run("enter", host_.keyboardScreen, "Can't store the station")) return;
  RefreshList();
  if (rowCount() > before) Say("Stored as preset " + std::to_string(rowCount()));
}

bool RadioSession::trafficSwitch() {
  bool on = false;
  try {
    if (host_.HasPlugin()) on = host_.Radio().RDSTAEnabled();
  } catch (const halvane::RuntimeError&) {
  }
  return on;
}

void RadioSession::SetTrafficSwitch(bool on) {
  if (!host_.HasPlugin()) return;
  if (!Guard("Can't set the traffic switch", [&] { host_.Radio().RDSTAEnabled(on); })) return;
  const bool driverFollows = WriteDriverTraffic(host_.DriverPath(), on);
  HostSettings settings(SettingsPath());
  settings.Set(kTrafficSetting, on ? "on" : "off");
  if (!settings.Save()) return Say("Can't keep the traffic switch in " + SettingsPath(), true);
  if (driverFollows) {
    Say(on ? "Traffic announcements: on (the radio goes to them)" : "Traffic announcements: off");
  } else {
    Say(on ? "Traffic announcements lift a mute" : "Traffic announcements stay muted");
  }
}

void RadioSession::Move(bool up) {
  const ListControl& list = *host_.radioScreen->list;
  const int32_t row = list.value;
  if (row < 0 || row >= rowCount()) return Say(kChooseFirst);
  if (up ? row == 0 : row == rowCount() - 1)
    return Say(up ? "That preset is at the top already" : "That preset is at the bottom already");
  const uint64_t before = list.generation;
  if (!Run(up ? "movepreset;up" : "movepreset;down", host_.radioScreen, "Can't move the preset"))
    return;
  if (list.generation == before)
    return Say("Presets move while one of them plays: recall one first");
  // The chosen preset stays chosen in its new place.
  host_.radioScreen->list->value = row + (up ? -1 : 1);
  Changed();
}

void RadioSession::Recall(int32_t preset) {
  if (!host_.HasPlugin()) return;
  if (rowCount() == 0) return Say(kEmptyList);
  if (preset < 1 || preset > rowCount())
    return Say("There is no preset " + std::to_string(preset) + " (the list has " +
               std::to_string(rowCount()) + ")");
  requestedFreq_.reset();
  int16_t n = static_cast<int16_t>(preset);
  if (!Guard("Can't recall preset " + std::to_string(preset),
             [&] { host_.Radio().PresetRecall(n); }))
    return;
  Say("");
  RefreshList();  // the recalled preset's row is highlighted
}

void RadioSession::MoveHighlight(int32_t step) {
  if (held_) return;  // a prompt or question is about the chosen row
  const int32_t rows = rowCount();
  if (rows == 0) return Say(kEmptyList);
  ListControl& list = *host_.radioScreen->list;
  const int32_t row = list.value < 0 ? 0 : list.value + step;
  // The person's choice: the list's Value, which the screen's PLValue answers too.
  list.value = std::clamp(row, 0, rows - 1);
  Say("");
  Changed();
}

void RadioSession::SetVolume(int32_t percent) {
  if (!host_.SetVolume(percent)) return Say("This tuner has no volume control");
  Say("");
  Changed();
}

void RadioSession::RecallHighlight() {
  const int32_t row = highlight();
  if (row < 0 || row >= rowCount()) return Say(kChooseFirst);
  Recall(row + 1);
}

}  // namespace host
