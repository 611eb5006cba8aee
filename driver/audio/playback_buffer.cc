#include "audio/playback_buffer.h"

#include <algorithm>

#include "audio/audio_sink.h"
#include "audio/programme_stage.h"

namespace halvane::driver::audio {
namespace {

// Fades at the edges are short: they only have to turn a step into a slope.
constexpr size_t kEdgeFrames = kRampFrames / 4;

}  // namespace

PlaybackBuffer::PlaybackBuffer(size_t capacityFrames, size_t reserveFrames, size_t maxReserveFrames)
    : capacity_(capacityFrames),
      reserveStep_(reserveFrames / 2),
      maxReserve_(std::min(maxReserveFrames, capacityFrames / 2)),
      reserve_(std::min(reserveFrames, maxReserve_)),
      ring_(capacityFrames * kChannels) {}

size_t PlaybackBuffer::Index(size_t frame) const {
  return ((head_ + frame) % capacity_) * kChannels;
}

void PlaybackBuffer::Fade(size_t first, size_t count, bool up) {
  for (size_t f = 0; f < count; ++f) {
    // Up: 1/count .. 1; down: (count-1)/count .. 0.
    const float g = up ? static_cast<float>(f + 1) / static_cast<float>(count)
                       : static_cast<float>(count - 1 - f) / static_cast<float>(count);
    const size_t i = Index(first + f);
    ring_[i] *= g;
    ring_[i + 1] *= g;
  }
}

void PlaybackBuffer::Push(std::span<const float> interleaved) {
  const size_t frames = interleaved.size() / kChannels;
  std::lock_guard lock(mutex_);
  if (dropping_) {
    if (size_ > reserve_) return;
  } else if (size_ + frames > capacity_) {
    ++overruns_;
    dropping_ = true;
    const size_t tail = std::min(kEdgeFrames, size_);
    Fade(size_ - tail, tail, false);
    return;
  }
  const size_t first = size_;
  const size_t taken = std::min(frames, capacity_ - size_);
  for (size_t f = 0; f < taken; ++f) {
    const size_t i = Index(size_ + f);
    ring_[i] = interleaved[f * kChannels];
    ring_[i + 1] = interleaved[f * kChannels + 1];
  }
  size_ += taken;
  if (dropping_) {
    dropping_ = false;
    Fade(first, std::min(kEdgeFrames, taken), true);
  }
}

void PlaybackBuffer::Pull(std::span<float> interleaved) {
  const size_t wanted = interleaved.size() / kChannels;
  std::fill(interleaved.begin(), interleaved.end(), 0.0f);
  std::lock_guard lock(mutex_);
  if (!playing_) {
    if (size_ == 0) {
      waited_ = 0;
      return;
    }
    if (waited_ < reserve_ || size_ < wanted + kEdgeFrames) {
      waited_ += wanted;
      return;
    }
    playing_ = true;
    Fade(0, kEdgeFrames, true);
  }
  size_t given = wanted;
  size_t dropped = 0;
  if (size_ < wanted + kEdgeFrames) {
    // The writer is late: end now with a fade, while there are frames to fade, rather than stop
    // dead on the next request; the few left over go. Wait longer before the next start.
    ++underruns_;
    playing_ = false;
    waited_ = 0;
    reserve_ = std::min(reserve_ + reserveStep_, maxReserve_);
    given = std::min(wanted, size_);
    dropped = size_ - given;
    const size_t tail = std::min(kEdgeFrames, given);
    Fade(given - tail, tail, false);
  }
  for (size_t f = 0; f < given; ++f) {
    const size_t i = Index(f);
    interleaved[f * kChannels] = ring_[i];
    interleaved[f * kChannels + 1] = ring_[i + 1];
  }
  head_ = (head_ + given + dropped) % capacity_;
  size_ -= given + dropped;
}

void PlaybackBuffer::Hush() {
  std::lock_guard lock(mutex_);
  const size_t kept = playing_ ? std::min(static_cast<size_t>(kRampFrames), size_) : 0;
  Fade(0, kept, false);
  size_ = kept;
  dropping_ = false;
}

PlaybackBuffer::Counts PlaybackBuffer::counts() const {
  std::lock_guard lock(mutex_);
  return {size_, reserve_, underruns_, overruns_};
}

}  // namespace halvane::driver::audio
