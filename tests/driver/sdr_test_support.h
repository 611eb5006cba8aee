// Shared by the SDR tests: a station for the transmitter model, and running the model into a
// receiver.
#ifndef HALVANE_TESTS_DRIVER_SDR_TEST_SUPPORT_H
#define HALVANE_TESTS_DRIVER_SDR_TEST_SUPPORT_H

#include <functional>
#include <string>
#include <vector>

#include "band/station.h"
#include "sdr/dsp/receiver.h"
#include "sdr/sources/transmitter.h"

namespace halvane::driver::testing_support {

// A rate the tests run at: a little above the lowest, so signals stay short.
inline constexpr double kTestRate = 250'000;

band::RdsProgramme TestProgramme();

// The model's options for TestProgramme at `cnrDb`, 2 kHz off centre, clock 100 ppm fast.
sdr::TransmitterOptions ImpairedStation(double cnrDb);

// Feeds `seconds` of the transmitter into the receiver in 10 ms pieces at `rate`, on a clock
// starting at 0 ms, calling `eachPiece` with the clock after each piece (the run stops at the
// test's first failure); returns the sound.
std::vector<float> RunStation(sdr::Transmitter& transmitter, sdr::Receiver& receiver,
                              double seconds, const std::function<void(int64_t ms)>& eachPiece = {},
                              double rate = kTestRate);

// The power of `frequency` in one channel (0 left, 1 right) of interleaved stereo at 48 kHz,
// skipping the first `skip` frames.
double TonePower(const std::vector<float>& audio, int channel, double frequency, size_t skip);

std::string Text(const uint8_t* bytes, size_t size);

}  // namespace halvane::driver::testing_support

#endif
