#include "sdr/sources/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "last_reason.h"
#include "result_codes.h"
#include "sdr/am_broadcast.h"
#include "sdr/broadcast.h"
#include "sdr/sources/sample_format.h"

namespace halvane::driver::sdr {
namespace {

constexpr size_t kChunkSamples = 16384;
// How much of the start is checked for looking like its format.
constexpr size_t kCheckedSamples = 65536;

int32_t Fail(int32_t code, std::string reason) {
  SetLastReason(std::move(reason));
  return code;
}

}  // namespace

FileSource::FileSource(std::string path, SampleFormat format, double rate, int64_t centreHz)
    : path_(std::move(path)), format_(format), rate_(rate), centreHz_(centreHz) {}

FileSource::~FileSource() { Close(); }

int32_t FileSource::Open(int64_t nowMs) {
  Close();
  if (rate_ > kHighestRecordingRate) {
    return Fail(kRecordingInvalid,
                "the recording " + path_ + " is at " + std::to_string(static_cast<int64_t>(rate_)) +
                    " samples a second; the receiver keeps up with at most " +
                    std::to_string(kHighestRecordingRate) + ": record at that rate or lower");
  }
  // Opened without waiting, so a FIFO or a device can't hold the radio before it is refused.
  const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return Fail(kRecordingUnreadable,
                "the recording " + path_ + " cannot be opened: " + std::strerror(errno));
  }
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return Fail(kRecordingUnreadable, "the recording " + path_ + " is not a regular file");
  }
  file_ = fdopen(fd, "rb");
  if (file_ == nullptr) {
    ::close(fd);
    return Fail(kRecordingUnreadable,
                "the recording " + path_ + " cannot be opened: " + std::strerror(errno));
  }
  const uint64_t bytes = static_cast<uint64_t>(info.st_size);
  const size_t frame = BytesPerSample(format_);
  samples_ = bytes / frame;
  if (const int32_t code = Check(); code != kOk) {
    Close();
    return code;
  }
  if (bytes % frame != 0) {
    Close();
    return Fail(kRecordingInvalid, "the recording " + path_ + " ends in the middle of a " +
                                       FormatName(format_) +
                                       " sample: it is truncated, or in another format");
  }
  position_ = 0;
  Restart(nowMs);
  return kOk;
}

// The recording's start must look like IQ samples of its format.
int32_t FileSource::Check() {
  const auto minimum = static_cast<uint64_t>(rate_ * kMinimumRecordingMs / 1000);
  if (samples_ < minimum) {
    return Fail(kRecordingInvalid, "the recording " + path_ + " holds less than " +
                                       std::to_string(kMinimumRecordingMs) + " ms of " +
                                       FormatName(format_) + " samples at " +
                                       std::to_string(static_cast<int64_t>(rate_)) +
                                       " samples a second: it is truncated");
  }
  const size_t frame = BytesPerSample(format_);
  buffer_.resize(std::min<uint64_t>(samples_, kCheckedSamples) * frame);
  if (std::fread(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    return Fail(kRecordingUnreadable, "the recording " + path_ + " cannot be read");
  }
  if (buffer_.size() >= 4 && std::memcmp(buffer_.data(), "RIFF", 4) == 0) {
    return Fail(kRecordingInvalid, "the recording " + path_ +
                                       " is a WAV file; give raw IQ samples (cu8, cs16 or cf32)");
  }
  std::vector<Complex> samples;
  if (DecodeSamples(format_, buffer_, samples) != 0) {
    return Fail(kRecordingInvalid, "the recording " + path_ + " does not hold " +
                                       FormatName(format_) + " samples (values out of range)");
  }
  bool varies = false;
  for (const Complex& s : samples) {
    if (s != samples.front()) varies = true;
  }
  if (!varies) {
    return Fail(kRecordingInvalid,
                "the recording " + path_ + " holds no signal (all samples alike)");
  }
  return kOk;
}

void FileSource::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

int32_t FileSource::Tune(int64_t frequencyHz, int64_t nowMs, std::optional<double>& offsetHz) {
  const double offset = static_cast<double>(frequencyHz - centreHz_);
  // The channel's filter reaches half the multiplex rate either side (on AM half the AM
  // channel rate): a recording of the AM band holds its stations when its centre lies there.
  const double halfWidth =
      BelowTunerRange(frequencyHz) ? kAmChannelRate / 2.0 : kMultiplexRate / 2.0;
  if (std::fabs(offset) + halfWidth <= rate_ / 2) {
    offsetHz = offset;
  } else {
    offsetHz.reset();
  }
  Restart(nowMs);
  return kOk;
}

int32_t FileSource::Truncated() {
  return Fail(kRecordingInvalid,
              "the recording " + path_ + " became shorter while playing: it is truncated");
}

int32_t FileSource::Skip(size_t count) {
  position_ = (position_ + count) % samples_;
  return kOk;
}

int32_t FileSource::Produce(size_t count, std::vector<Complex>& out) {
  if (file_ == nullptr) return kOk;
  const size_t frame = BytesPerSample(format_);
  while (count > 0) {
    const size_t take = static_cast<size_t>(
        std::min<uint64_t>({uint64_t{count}, uint64_t{kChunkSamples}, samples_ - position_}));
    buffer_.resize(take * frame);
    if (fseeko(file_, static_cast<off_t>(position_ * frame), SEEK_SET) != 0 ||
        std::fread(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
      return Truncated();
    }
    DecodeSamples(format_, buffer_, out);
    position_ = (position_ + take) % samples_;
    count -= take;
  }
  return kOk;
}

}  // namespace halvane::driver::sdr
