// GetArtwork: the station's picture under the host's artwork folder, by RDS programme
// identification, then by frequency, then a generic radio picture. Every step skips on failure:
// a host that can't answer or a folder that can't be searched only means fewer candidates.
#include <array>
#include <span>
#include <string_view>

#include "halvane/errors.h"
#include "plugin/dm_radio.h"
#include "runtime/numbers.h"
#include "runtime/text_file.h"

namespace halvane {
namespace {

constexpr std::string_view kArtworkFolder = "RadioArt/";
// ".png" is tried only while the host's fast mode is -1; the others always, in this order.
constexpr std::array<std::string_view, 3> kExtensions{".png", ".jpg", ".gif"};
constexpr int16_t kFastModeUnset = -1;

}  // namespace

std::string DMRadio::GetArtwork() {
  if (!IsActive()) return {};

  std::string folder;  // stays "" if the host can't say: bare names in the current folder
  int16_t fastMode = kFastModeUnset;
  IgnoreErrors([&] {
    folder = host::GetInfo(c_.context().Sdk(), hostvar::kArtPath).ToString(&c_.Numbers());
    folder += kArtworkFolder;
  });
  IgnoreErrors([&] {
    const std::string text =
        host::GetInfo(c_.context().Sdk(), hostvar::kFastMode).ToString(&c_.Numbers());
    fastMode = ToInt16(LeadingNumber(text));
  });
  const std::span<const std::string_view> extensions =
      std::span(kExtensions).subspan(fastMode == kFastModeUnset ? 0 : 1);

  // The first existing file of folder + prefix + stem + extension, in extension order. A test
  // that fails (a folder that can't be searched) counts as "not there" and the next one runs.
  std::string found;
  auto firstExisting = [&](std::string_view prefix, std::string_view stem) {
    for (std::string_view extension : extensions) {
      std::string candidate = folder;
      candidate.append(prefix).append(stem).append(extension);
      bool exists = false;
      IgnoreErrors([&] { exists = IsRegularFile(candidate); });
      if (exists) {
        found = std::move(candidate);
        return true;
      }
    }
    return false;
  };

  std::string pi;  // "" unless the tuner is ready and the last RDS record was valid
  IgnoreErrors([&] { pi = c_.radio().RdsPi(); });
  if (!pi.empty() && firstExisting("PI", pi)) return found;
  if (firstExisting("", std::to_string(c_.radio().currentFreq()))) return found;
  if (firstExisting("radio", "")) return found;
  return {};
}

}  // namespace halvane
