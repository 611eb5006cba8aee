#include "sdr_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace halvane::driver::testing_support {

band::RdsProgramme TestProgramme() {
  band::RdsProgramme programme;
  programme.pi = 0xD3C2;
  programme.pty = 10;
  programme.tp = true;
  programme.ta = band::TrafficAnnouncement::On;
  const std::string ps = "SDR TEST";
  std::copy(ps.begin(), ps.end(), programme.ps.begin());
  const std::string rt = "Received through the transmitter model";
  programme.radiotexts.push_back(std::vector<uint8_t>(rt.begin(), rt.end()));
  return programme;
}

sdr::TransmitterOptions ImpairedStation(double cnrDb) {
  sdr::TransmitterOptions options;
  options.multiplex.rds = TestProgramme();
  options.sampleRate = kTestRate;
  options.carrierOffsetHz = 2000;
  options.clockErrorPpm = 100;
  options.cnrDb = cnrDb;
  options.seed = 7;
  return options;
}

std::vector<float> RunStation(sdr::Transmitter& transmitter, sdr::Receiver& receiver,
                              double seconds, const std::function<void(int64_t ms)>& eachPiece,
                              double rate) {
  std::vector<sdr::Complex> iq(static_cast<size_t>(rate / 100));
  std::vector<float> audio;
  const auto pieces = static_cast<int64_t>(seconds * 100);
  for (int64_t i = 1; i <= pieces && !::testing::Test::HasFailure(); ++i) {
    transmitter.Generate(iq);
    receiver.Process(iq, i * 10, true, audio);
    if (eachPiece) eachPiece(i * 10);
  }
  return audio;
}

double TonePower(const std::vector<float>& audio, int channel, double frequency, size_t skip) {
  // Goertzel over whole frames.
  const double w = 2 * std::numbers::pi * frequency / 48000;
  const double coefficient = 2 * std::cos(w);
  double s1 = 0;
  double s2 = 0;
  size_t n = 0;
  for (size_t frame = skip; 2 * frame + 1 < audio.size(); ++frame, ++n) {
    const double s = audio[2 * frame + static_cast<size_t>(channel)] + coefficient * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  return n == 0 ? 0 : power / (static_cast<double>(n) * static_cast<double>(n));
}

std::string Text(const uint8_t* bytes, size_t size) {
  return std::string(reinterpret_cast<const char*>(bytes), size);
}

}  // namespace halvane::driver::testing_support
