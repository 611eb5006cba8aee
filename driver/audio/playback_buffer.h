// The bounded queue between whoever writes the programme and the sound server that plays it.
// The writer never waits: what does not fit is dropped. The player always gets as many frames as
// it asks for: silence where the programme has none. Writers may be steady (a capture device) or
// come in bursts (a receiver that demodulates whenever the tuner is asked something), so playing
// starts a reserve's time after the first frames arrived, whatever their number: the frames of
// the next write are then due a reserve later than those of this one. Both edges are handled so
// a stall or a clock drift costs one soft gap, never a stream of clicks:
//  - running dry (underrun): the last frames still held fade out, then silence until the reserve
//    has passed again, and the reserve grows a step (up to a limit) so a writer that keeps
//    coming late stops running dry;
//  - filling up (overrun): the newest queued frames fade out, incoming frames are dropped until
//    the queue has drained to the reserve, then the next ones fade in.
#ifndef HALVANE_DRIVER_AUDIO_PLAYBACK_BUFFER_H
#define HALVANE_DRIVER_AUDIO_PLAYBACK_BUFFER_H

#include <cstddef>
#include <mutex>
#include <span>
#include <vector>

namespace halvane::driver::audio {

class PlaybackBuffer {
 public:
  // Sizes in frames of interleaved stereo.
  PlaybackBuffer(size_t capacityFrames, size_t reserveFrames, size_t maxReserveFrames);

  void Push(std::span<const float> interleaved);
  // Fills `interleaved` whole.
  void Pull(std::span<float> interleaved);
  // Keeps a 10 ms fade of what plays next and drops the rest: a mute heard at once.
  void Hush();

  struct Counts {
    size_t queuedFrames = 0;
    size_t reserveFrames = 0;
    size_t underruns = 0;
    size_t overruns = 0;
  };
  Counts counts() const;

 private:
  size_t Index(size_t frame) const;  // the sample index of the queue's frame-th frame
  // Multiplies queued frames [first, first + count) by a linear ramp up or down.
  void Fade(size_t first, size_t count, bool up);

  const size_t capacity_;
  const size_t reserveStep_;
  const size_t maxReserve_;
  size_t reserve_;
  mutable std::mutex mutex_;
  std::vector<float> ring_;
  size_t head_ = 0;  // frame index of the oldest queued frame
  size_t size_ = 0;  // frames queued
  bool playing_ = false;
  size_t waited_ = 0;  // not playing: frames of silence given since the first frame arrived
  bool dropping_ = false;
  size_t underruns_ = 0;
  size_t overruns_ = 0;
};

}  // namespace halvane::driver::audio

#endif
