// The station's RDS beyond the record (RadioText+, the programme type name, the clock, the
// alternative frequencies...), from the driver's optional report. It is read only when a label
// asks for it and at most once a status tick, so a skin that shows none of it costs no driver
// traffic; a driver without the export simply has none of it.
#include <algorithm>

#include "halvane/driver_extras.h"
#include "tuner/mod_radio.h"

namespace halvane {
namespace {
constexpr int32_t kFirstReadBytes = 2048;
constexpr int32_t kMostBytes = 64 * 1024;  // a report beyond this is not read at all
}  // namespace

void ModRadio::ReadExtras() {
  extrasRead_ = true;
  extrasPoll_ = pollCount_;
  extras_.clear();
  std::string buffer(static_cast<size_t>(kFirstReadBytes), '\0');
  const auto read = [&] {
    return Call(HALVANE_FN_EXTENDED_DATA, {DriverArg::Address(buffer.data()),
                                           DriverArg::Number(static_cast<double>(buffer.size()))});
  };
  int32_t length = read();
  if (length >= static_cast<int32_t>(buffer.size()) && length < kMostBytes) {
    buffer.assign(static_cast<size_t>(length) + 1, '\0');
    length = read();
  }
  if (length <= 0 || length >= static_cast<int32_t>(buffer.size())) return;
  extras_ = "\n" + buffer.substr(0, static_cast<size_t>(length));
}

std::string ModRadio::RdsExtra(std::string_view key) {
  if (!RdsShown()) return {};
  if (!extrasRead_ || extrasPoll_ != pollCount_) ReadExtras();
  const std::string wanted = "\n" + std::string(key) + "=";
  const size_t at = extras_.find(wanted);
  if (at == std::string::npos) return {};
  const size_t start = at + wanted.size();
  return extras_.substr(start, extras_.find('\n', start) - start);
}

}  // namespace halvane
