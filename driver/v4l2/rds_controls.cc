#include "v4l2/rds_controls.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "rds/charset.h"

namespace halvane::driver::v4l2 {
namespace {

// EINVAL: the device has no such control.
int ReadNumber(RadioDevice& device, uint32_t id, int32_t& value) {
  value = 0;
  const int error = device.GetControl(id, value);
  return error == EINVAL ? 0 : error;
}

// The text's bytes, as the chip received them, padded with blanks.
template <size_t N>
int ReadText(RadioDevice& device, uint32_t id, std::array<uint8_t, N>& out, bool& received) {
  std::string text;
  const int error = device.GetStringControl(id, text);
  if (error != 0 && error != EINVAL) return error;
  out.fill(rds::kBlank);
  std::copy_n(text.begin(), std::min(text.size(), N), out.begin());
  if (text.find_first_not_of(' ') != std::string::npos) received = true;
  return 0;
}

}  // namespace

int ReadRdsControls(RadioDevice& device, rds::RdsData& data, bool& received) {
  received = false;
  data = rds::RdsData{};  // PI 0: unknown
  int32_t pty = 0, ta = 0, tp = 0, ms = 0;
  for (const auto& [id, value] :
       {std::pair{V4L2_CID_RDS_RX_PTY, &pty}, std::pair{V4L2_CID_RDS_RX_TRAFFIC_ANNOUNCEMENT, &ta},
        std::pair{V4L2_CID_RDS_RX_TRAFFIC_PROGRAM, &tp},
        std::pair{V4L2_CID_RDS_RX_MUSIC_SPEECH, &ms}}) {
    if (const int error = ReadNumber(device, id, *value); error != 0) return error;
  }
  data.pty = static_cast<uint8_t>(pty & 0x1F);
  data.ta = ta != 0;
  data.tp = tp != 0;
  data.ms = ms != 0;
  if (const int error = ReadText(device, V4L2_CID_RDS_RX_PS_NAME, data.ps, received); error != 0) {
    return error;
  }
  return ReadText(device, V4L2_CID_RDS_RX_RADIO_TEXT, data.rt, received);
}

}  // namespace halvane::driver::v4l2
