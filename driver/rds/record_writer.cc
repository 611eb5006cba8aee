#include "rds/record_writer.h"

#include <algorithm>

#include "rds/charset.h"

namespace halvane::driver::rds {

RdsRecord MakeRecord(const RdsData& data) {
  RdsRecord record{};
  record.pty = data.pty;
  record.tp = data.tp ? 1 : 0;
  record.ta = data.ta ? 1 : 0;
  record.ms = data.ms ? 1 : 0;
  record.pi = static_cast<int16_t>(data.pi);
  std::transform(data.ps.begin(), data.ps.end(), record.ps, RdsToWindows1252);
  const auto* const end = std::find(data.rt.begin(), data.rt.end(), kEndOfText);
  uint8_t* out = std::transform(data.rt.begin(), end, record.rt, RdsToWindows1252);
  std::fill(out, record.rt + data.rt.size(), kBlank);
  return record;
}

}  // namespace halvane::driver::rds
