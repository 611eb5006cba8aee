#include "driver_reception.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "driver_symbol.h"
#include "halvane/driver_extras.h"

namespace host {
namespace {

constexpr int32_t kFirstReadBytes = 4096;
constexpr int32_t kMostBytes = 64 * 1024;  // a report beyond this is not read at all

// The number after "\n<key>=" in `report` (which starts with a newline), rounded.
std::optional<int32_t> Number(std::string_view report, std::string_view key) {
  const std::string wanted = "\n" + std::string(key) + "=";
  const size_t at = report.find(wanted);
  if (at == std::string_view::npos) return std::nullopt;
  const size_t start = at + wanted.size();
  const std::string_view text = report.substr(start, report.find('\n', start) - start);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
      std::abs(value) > 1e6)
    return std::nullopt;
  return static_cast<int32_t>(std::lround(value));
}

}  // namespace

DriverReception ParseReception(std::string_view report) {
  const std::string lines = "\n" + std::string(report);
  DriverReception reception;
  reception.cnrDb = Number(lines, "reception.cnr");
  if (const std::optional<int32_t> stereo = Number(lines, "reception.stereo"); stereo)
    if (*stereo >= 0 && *stereo <= 100) reception.stereoPercent = stereo;
  return reception;
}

DriverReception ReadDriverReception(const std::string& driverPath) {
  using ReportFn = int32_t (*)(char*, int32_t);
  auto read = reinterpret_cast<ReportFn>(DriverSymbol(driverPath, HALVANE_FN_EXTENDED_DATA));
  if (read == nullptr) return {};
  std::vector<char> buffer(kFirstReadBytes);
  int32_t length = read(buffer.data(), static_cast<int32_t>(buffer.size()));
  if (length >= static_cast<int32_t>(buffer.size()) && length < kMostBytes) {
    buffer.assign(static_cast<size_t>(length) + 1, '\0');
    length = read(buffer.data(), static_cast<int32_t>(buffer.size()));
  }
  if (length <= 0 || length >= static_cast<int32_t>(buffer.size())) return {};
  return ParseReception(std::string_view(buffer.data(), static_cast<size_t>(length)));
}

std::string QualityText(const DriverReception& reception) {
  return reception.cnrDb ? "C/N " + std::to_string(*reception.cnrDb) + " dB" : "";
}

std::string BlendText(bool stereo, const DriverReception& reception) {
  if (!stereo || !reception.stereoPercent || *reception.stereoPercent >= 100) return {};
  return std::to_string(*reception.stereoPercent) + "%";
}

}  // namespace host
