// The 100 ms status poll and the accessors that the labels, indicators and artwork read.
#include "context/module_context.h"
#include "runtime/codepage.h"
#include "runtime/numbers.h"
#include "tuner/mod_radio.h"

namespace halvane {
namespace {
constexpr int16_t kLevelMask = 0x0F;
constexpr int32_t kSignalPerLevel = 4369;  // 65535 / 15: level 0 is full scale, 15 nothing
constexpr size_t kPsChars = 8;
constexpr size_t kRtChars = 64;
}  // namespace

void ModRadio::PollStatus() {
  if (!radioReady_) return;
  int32_t hz = 0;
  if (Call(HALVANE_FN_GET_FREQUENCY, {DriverArg::Number(0), DriverArg::Address(&hz)}) == 0)
    currentFreq_ = ToInt16(hz / static_cast<double>(band::kHzPerUnit));  // overflow ends the tick
  uint32_t state = 0;
  if (Call(HALVANE_FN_DECODER_STATE, {DriverArg::Number(0), DriverArg::Address(&state)}) == 0)
    decoderLevel_ = static_cast<int16_t>(state & kLevelMask);
  rdsValid_ = false;
  ++pollCount_;
  if (Call(HALVANE_FN_EVAL_DATA, {DriverArg::Number(0), DriverArg::Address(&rdsData_)}) == 0)
    rdsValid_ = true;
}

bool ModRadio::IsStereo() {
  if (!radioReady_) return false;
  uint8_t flags = 0;
  if (Call(HALVANE_FN_GET_STATE, {DriverArg::Number(0), DriverArg::Address(&flags)}) != 0)
    return false;
  return (flags & HALVANE_STATE_STEREO) != 0;
}

int32_t ModRadio::SignalLevel() const {
  if (!radioReady_) return 0;
  return (15 - decoderLevel_) * kSignalPerLevel;
}

// One character per byte; zero bytes stay as U+0000 and nothing is trimmed.
std::string ModRadio::RdsName() const {
  if (!RdsShown()) return {};
  return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(rdsData_.ps), kPsChars));
}

std::string ModRadio::RdsText() const {
  if (!RdsShown()) return {};
  return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(rdsData_.rt), kRtChars));
}

std::string ModRadio::RdsPty() const {
  if (!RdsShown()) return {};
  return std::to_string(rdsData_.pty);
}

std::string ModRadio::RdsPi() const {
  if (!RdsShown()) return {};
  return std::to_string(rdsData_.pi);
}

bool ModRadio::RdsTA() const { return RdsShown() && rdsData_.ta != 0; }
bool ModRadio::RdsTP() const { return RdsShown() && rdsData_.tp != 0; }
bool ModRadio::RdsMS() const { return RdsShown() && rdsData_.ms != 0; }

}  // namespace halvane
