#include "sdr/sources/iq_source.h"

#include "result_codes.h"

namespace halvane::driver::sdr {

void PacedSource::Restart(int64_t nowMs) {
  startedMs_ = nowMs;
  delivered_ = 0;
}

int64_t PacedSource::PacedMs() const {
  return startedMs_ + static_cast<int64_t>(static_cast<double>(delivered_) * 1000 / SampleRate());
}

int32_t PacedSource::ReadDue(int64_t nowMs, std::vector<Complex>& out) {
  if (nowMs <= startedMs_) return kOk;
  const double rate = SampleRate();
  const auto due = static_cast<uint64_t>(static_cast<double>(nowMs - startedMs_) * rate / 1000);
  if (due <= delivered_) return kOk;
  const auto backlog = static_cast<uint64_t>(static_cast<double>(kMaxBacklogMs) * rate / 1000);
  if (due - delivered_ > backlog) {
    const uint64_t skip = due - delivered_ - backlog;
    if (const int32_t code = Skip(skip); code != kOk) return code;
    delivered_ += skip;
    ++gaps_;
  }
  const size_t count = static_cast<size_t>(due - delivered_);
  delivered_ = due;
  return Produce(count, out);
}

int32_t PacedSource::ReadNow(size_t count, std::vector<Complex>& out) {
  return Produce(count, out);
}

}  // namespace halvane::driver::sdr
