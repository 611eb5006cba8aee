// Measures recorded stereo: a tone's amplitude at its frequency, and where sound starts and ends.
#ifndef HALVANE_TESTS_AUDIO_TONE_ANALYSIS_H
#define HALVANE_TESTS_AUDIO_TONE_ANALYSIS_H

#include <cstddef>
#include <span>
#include <vector>

namespace halvane::audio_test {

// One channel (0 left, 1 right) of interleaved stereo, frames [first, first + count).
std::vector<float> Channel(std::span<const float> interleaved, int channel, size_t first,
                           size_t count);

// The peak amplitude of the sine at `frequency` in `samples` (48 kHz).
double ToneAmplitude(std::span<const float> samples, double frequency);
// The tone's amplitude as most of `samples` carry it: the median over 20 ms blocks (whole cycles
// of 1, 1.5 and 2 kHz tones), so a gap or a late writer's fade in a few blocks does not move it.
double ToneLevel(std::span<const float> samples, double frequency);
// The root-mean-square of `samples`.
double Rms(std::span<const float> samples);

// The first and last frame whose sample in either channel is above `threshold`; the size when
// there is none.
size_t FirstAbove(std::span<const float> interleaved, float threshold);
size_t LastAbove(std::span<const float> interleaved, float threshold);

// What was heard without the gaps: the recording less every run of at least `gap` frames of
// exact silence (before, between and after the sound). A sound server fills a late writer's gaps
// with exact zeros, which no programme carries for long.
std::vector<float> WithoutGaps(std::span<const float> interleaved, size_t gap);

// The first frame from `from` on where `frames` frames in a row carry sound and equal channels;
// the size when there is none.
size_t EqualChannels(std::span<const float> interleaved, size_t from, size_t frames);

// The largest step between neighbouring samples of one channel: a click shows as a large one.
float LargestStep(std::span<const float> interleaved, size_t firstFrame);

// The share of `samples`' energy (DC left out) in its strongest spectral line: near 1 for a
// tone, small for music, whose energy spreads over many notes and their overtones.
double StrongestLineShare(std::span<const float> samples);

// The energy of the difference of the channels over that of their sum: 0 for mono.
double SideShare(std::span<const float> interleaved);

// How often a second the sound rises out of a quiet stretch: the envelope over 20 ms blocks
// crossing a quarter of its 90th percentile upwards. Speech does so at its syllables' rate.
double BurstsPerSecond(std::span<const float> samples);

// A sine at `frequency` with `amplitude`, `frames` long, starting at frame `start` of the tone.
std::vector<float> Tone(double leftHz, double leftAmplitude, double rightHz, double rightAmplitude,
                        size_t start, size_t frames);

}  // namespace halvane::audio_test

#endif
