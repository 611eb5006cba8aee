#include "alsa_source.h"

#include <stdlib.h>

#include <fstream>

namespace halvane::audio_test {

std::string DefineAlsaSource(const std::vector<float>& input) {
  static const std::string folder = [] {
    char name[] = "/tmp/halvane-alsa.XXXXXX";
    return std::string(mkdtemp(name));
  }();
  const std::string samples = folder + "/input.raw";
  std::ofstream(samples, std::ios::binary)
      .write(reinterpret_cast<const char*>(input.data()), input.size() * sizeof(float));
  const std::string config = folder + "/asound.conf";
  std::ofstream(config) << "pcm.halvane_source {\n"
                        << "  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n"
                        << "  infile \"" << samples << "\"\n  format \"raw\"\n}\n";
  // The system's configuration first, so "null" and the plugins are defined, then ours.
  setenv("ALSA_CONFIG_PATH", ("/usr/share/alsa/alsa.conf:" + config).c_str(), 1);
  return "halvane_source";
}

std::vector<float> SourceSamples(size_t frames) {
  std::vector<float> input(2 * frames);
  for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<float>(i % 200) / 400 - 0.25f;
  return input;
}

void RecordingSink::Write(std::span<const float> interleaved) {
  std::lock_guard lock(mutex_);
  samples_.insert(samples_.end(), interleaved.begin(), interleaved.end());
}

void RecordingSink::SetTitle(std::string_view title) {
  std::lock_guard lock(mutex_);
  title_ = title;
}

std::vector<float> RecordingSink::samples() const {
  std::lock_guard lock(mutex_);
  return samples_;
}

std::string RecordingSink::title() const {
  std::lock_guard lock(mutex_);
  return title_;
}

}  // namespace halvane::audio_test
