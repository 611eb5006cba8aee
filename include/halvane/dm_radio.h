// The radio plug-in's class as a host sees it through its early-bound interface. Members stand in
// the order of the class's member list. Run-time errors reach the caller as halvane::RuntimeError.
#ifndef HALVANE_DM_RADIO_H
#define HALVANE_DM_RADIO_H

#include <cstdint>
#include <memory>
#include <string>

#include "halvane/dispatch.h"

namespace halvane {

enum class TunerTypes : int32_t { Basic = 0, HDRadio = 1, RDSBasic = 2, RDSAdvanced = 3 };
enum class SModes : int32_t { Disabled = 0, Surf = 1, Scan = 2, PresetLearn = 3 };

class HALVANE_API IDMRadio {
 public:
  virtual ~IDMRadio() = default;

  virtual std::string ConfigPath() = 0;
  virtual void ConfigPath(const std::string& value) = 0;
  virtual std::string CachePath() = 0;
  virtual void CachePath(const std::string& value) = 0;
  virtual bool SeekMode() = 0;
  virtual void SeekMode(bool value) = 0;
  virtual bool LocalMode() = 0;
  virtual void LocalMode(bool value) = 0;
  virtual bool PresetMode() = 0;
  virtual void PresetMode(bool value) = 0;
  virtual bool RDSTAEnabled() = 0;
  virtual void RDSTAEnabled(bool value) = 0;
  virtual SModes SearchMode() = 0;
  virtual void SearchMode(SModes value) = 0;

  virtual std::string GetName() = 0;
  virtual TunerTypes TunerType() = 0;
  virtual bool IsActive() = 0;
  virtual void StartRadio() = 0;
  virtual void StopRadio() = 0;
  virtual void SetActive(bool& state) = 0;
  virtual void Refresh(std::shared_ptr<Dispatch>& frm) = 0;
  virtual int32_t Freq() = 0;
  virtual void Tune(int32_t& F) = 0;
  virtual void PresetRecall(int16_t& Preset) = 0;
  virtual bool Check() = 0;
  virtual std::string GetArtwork() = 0;
  virtual int16_t ProcessCommand(std::string& CMD, std::shared_ptr<Dispatch>& frm) = 0;
  virtual std::string ReturnLabel(std::string& LBL, std::string& FMT) = 0;
  virtual int32_t ReturnSlider(std::string& SLD) = 0;
  virtual std::string ReturnIndicatorEx(std::string& IND) = 0;
};

}  // namespace halvane

#endif
