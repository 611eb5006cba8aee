#include "band/band_loader.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <utility>

#include "band/band_file.h"
#include "band/capture_file.h"
#include "band/default_band.h"
#include "band/file_reading.h"
#include "result_codes.h"

namespace halvane::driver::band {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

BandLoad Failure(int32_t code, std::string message) {
  return {std::nullopt, code, std::move(message)};
}

}  // namespace

BandLoad LoadBandFile(const std::string& path) {
  std::string why;
  const std::optional<std::string> text = ReadNamedFile(path, kBandFileLimit, why);
  if (!text) return Failure(kBandFileUnreadable, path + ": " + why);
  ParseResult<Band> parsed = ParseBandFile(*text, ListenersRegion());
  if (!parsed.ok()) {
    return Failure(kBandFileInvalid,
                   path + ":" + std::to_string(parsed.line) + ": " + parsed.error);
  }
  Band& band = *parsed.value;
  for (Station& station : band.stations) {
    if (station.capturePath.empty()) continue;
    const std::string capturePath = station.capturePath.front() == '/'
                                        ? station.capturePath
                                        : FolderOf(path) + station.capturePath;
    const std::optional<std::string> captureText = ReadNamedFile(capturePath, kBandFileLimit, why);
    if (!captureText) return Failure(kBandFileUnreadable, capturePath + ": " + why);
    ParseResult<std::vector<CapturedGroup>> capture = ParseCaptureFile(*captureText);
    if (!capture.ok()) {
      return Failure(kBandFileInvalid,
                     capturePath + ":" + std::to_string(capture.line) + ": " + capture.error);
    }
    station.capture = std::move(*capture.value);
  }
  return {std::move(band), 0, {}};
}

std::string LibraryFolder() {
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&LibraryFolder), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  return FolderOf(info.dli_fname);
}

BandLoad LoadBand() {
  const char* named = std::getenv(kStationsVariable);
  if (named != nullptr && named[0] != '\0') return LoadBandFile(named);
  const std::string folder = LibraryFolder();
  if (!folder.empty()) {
    const std::string beside = folder + kStationsFileName;
    if (IsRegularFile(beside)) return LoadBandFile(beside);
  }
  return {DefaultBand(ListenersRegion()), 0, {}};
}

}  // namespace halvane::driver::band
