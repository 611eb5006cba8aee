// The V4L2 tuner against a scripted device.
#include "v4l2/v4l2_tuner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "fake_radio_device.h"
#include "rds/group_encoder.h"
#include "result_codes.h"
#include "v4l2_test_support.h"

namespace halvane::driver::v4l2 {
namespace {

using testing_support::FakeRadioDevice;
using testing_support::RecordsOf;

constexpr int32_t kStrong = 60'000;
constexpr int32_t kFaint = 20'000;  // level 10: found by a software seek, skipped by the hardware's

// Fine units: 16 per kHz.
constexpr uint32_t Fine(int64_t hz) { return static_cast<uint32_t>(hz * 2 / 125); }

class V4l2TunerTest : public testing_support::V4l2TunerFixture {
 protected:
  void SetUp() override { Make(true); }
};

TEST_F(V4l2TunerTest, InitializeNamesWhyTheDeviceCannotBeUsed) {
  device_->openError = ENOENT;
  EXPECT_EQ(tuner_->Initialize(), kNoDevice);
  device_->openError = EBUSY;
  EXPECT_EQ(tuner_->Initialize(), kDeviceBusy);
  device_->openError = EACCES;
  EXPECT_EQ(tuner_->Initialize(), kNoPermission);
  device_->openError = 0;
  device_->queryError = ENOTTY;  // not a V4L2 device at all
  EXPECT_EQ(tuner_->Initialize(), kNotRadio);
  device_->queryError = 0;
  device_->capabilities.capabilities &= ~V4L2_CAP_RADIO;  // a video capture device
  EXPECT_EQ(tuner_->Initialize(), kNotRadio);
  EXPECT_FALSE(device_->open);
  int32_t value;
  EXPECT_EQ(tuner_->GetFrequency(value), kNotInitialized);
}

TEST_F(V4l2TunerTest, DeviceCapabilitiesTakePrecedence) {
  device_->capabilities.capabilities |= V4L2_CAP_DEVICE_CAPS | V4L2_CAP_VIDEO_CAPTURE;
  device_->capabilities.device_caps = V4L2_CAP_VIDEO_CAPTURE;  // this node is the video one
  EXPECT_EQ(tuner_->Initialize(), kNotRadio);
  device_->capabilities.device_caps = V4L2_CAP_RADIO | V4L2_CAP_TUNER;
  EXPECT_EQ(tuner_->Initialize(), kOk);
}

TEST_F(V4l2TunerTest, FrequenciesInLowUnitsAreExact) {
  Start();
  EXPECT_EQ(tuner_->SetFrequency(95'800'000), kOk);
  EXPECT_EQ(device_->frequency, 1'532'800u);
  EXPECT_EQ(Frequency(), 95'800'000);
  // Another program tuned elsewhere: read back to the plug-in's 10 kHz.
  device_->frequency = Fine(101'370'000);
  EXPECT_EQ(Frequency(), 101'370'000);
}

TEST_F(V4l2TunerTest, CoarseUnitsReadBackWhatWasSet) {
  Make(false);
  Start();
  // 95.81 MHz (allowed-all step) is 1532.96 units: the device holds 1533 = 95.8125 MHz.
  EXPECT_EQ(tuner_->SetFrequency(95'810'000), kOk);
  EXPECT_EQ(device_->frequency, 1533u);
  EXPECT_EQ(Frequency(), 95'810'000);
  // A frequency the driver did not set is taken to the nearest 100 kHz channel.
  device_->frequency = 1534;  // 95.875 MHz
  EXPECT_EQ(Frequency(), 95'900'000);
  device_->frequency = 1400;
  EXPECT_EQ(Frequency(), 87'500'000);
}

TEST_F(V4l2TunerTest, AmNeedsAnAmBand) {
  Start();
  EXPECT_EQ(tuner_->SetFrequency(10'400'000), kOutOfBand);  // 1040 kHz on an FM-only device
  EXPECT_TRUE(device_->tuned.empty());
  device_->AddAmBand();
  tuner_->Uninitialize();
  Start();
  EXPECT_EQ(tuner_->SetFrequency(10'400'000), kOk);
  EXPECT_EQ(device_->frequency, 1040u * 16);
  EXPECT_EQ(Frequency(), 10'400'000);
  device_->frequency = 600 * 16;
  EXPECT_EQ(Frequency(), 6'000'000);
}

TEST_F(V4l2TunerTest, HardwareSeekUpAndDown) {
  device_->AddStation(Fine(90'000'000), kStrong);
  device_->AddStation(Fine(95'800'000), kStrong);
  Start();
  int32_t value = 88'000'000;
  EXPECT_EQ(tuner_->Search(value, true), kOk);
  EXPECT_EQ(value, 90'000'000);
  ASSERT_EQ(device_->seeks.size(), 1u);
  EXPECT_EQ(device_->tuned.front(), Fine(88'000'000));  // the seek started where asked
  EXPECT_EQ(device_->seeks[0].seek_upward, 1u);
  EXPECT_EQ(device_->seeks[0].wrap_around, 0u);
  EXPECT_EQ(device_->seeks[0].spacing, 100'000u);
  EXPECT_EQ(device_->seeks[0].type, V4L2_TUNER_RADIO);

  EXPECT_EQ(tuner_->Search(value, true), kOk);
  EXPECT_EQ(value, 95'800'000);
  EXPECT_EQ(tuner_->Search(value, false), kOk);
  EXPECT_EQ(value, 90'000'000);
  EXPECT_EQ(device_->seeks.back().seek_upward, 0u);
}

TEST_F(V4l2TunerTest, HardwareSeekWithoutStationReportsTheBandEdge) {
  device_->AddStation(Fine(90'000'000), kStrong);
  Start();
  int32_t value = 90'000'000;
  EXPECT_EQ(tuner_->Search(value, false), HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(value, 87'500'000);
  value = 90'000'000;
  EXPECT_EQ(tuner_->Search(value, true), HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(value, 108'000'000);
}

TEST_F(V4l2TunerTest, BusySeekLeavesTheFrequencyAlone) {
  Start();
  device_->seekError = EBUSY;
  int32_t value = 90'000'000;
  EXPECT_EQ(tuner_->Search(value, true), kDeviceBusy);
  EXPECT_EQ(value, 90'000'000);
}

TEST_F(V4l2TunerTest, SoftwareSeekWalksTheRasterWhenTheDeviceCannotSeek) {
  device_->capabilities.capabilities &= ~V4L2_CAP_HW_FREQ_SEEK;
  device_->tuner.capability &= ~(V4L2_TUNER_CAP_HWSEEK_BOUNDED | V4L2_TUNER_CAP_HWSEEK_WRAP);
  device_->AddStation(Fine(88'000'000), 5000);  // too faint to stop on
  device_->AddStation(Fine(88'300'000), kFaint);
  Start();
  int32_t value = 87'500'000;
  EXPECT_EQ(tuner_->Search(value, true), kOk);
  EXPECT_EQ(value, 88'300'000);
  EXPECT_TRUE(device_->seeks.empty());
  EXPECT_EQ(device_->tuned,
            (std::vector<uint32_t>{Fine(87'600'000), Fine(87'700'000), Fine(87'800'000),
                                   Fine(87'900'000), Fine(88'000'000), Fine(88'100'000),
                                   Fine(88'200'000), Fine(88'300'000)}));
  EXPECT_EQ(device_->settles, 8);

  // Nothing above: one walk to the top of the band, no further.
  device_->tuned.clear();
  EXPECT_EQ(tuner_->Search(value, true), HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(value, 108'000'000);
  EXPECT_EQ(device_->tuned.size(), 197u);  // 88.4 .. 108.0 MHz
}

TEST_F(V4l2TunerTest, RefusedHardwareSeekFallsBackToTheWalk) {
  device_->AddStation(Fine(88'300'000), kFaint);
  Start();
  device_->seekError = EINVAL;  // e.g. a spacing the chip cannot do
  int32_t value = 87'500'000;
  EXPECT_EQ(tuner_->Search(value, true), kOk);
  EXPECT_EQ(value, 88'300'000);
}

TEST_F(V4l2TunerTest, StereoFromSubchannelsUnlessMonoIsForced) {
  device_->AddStation(Fine(90'000'000), kStrong, true);
  device_->AddStation(Fine(92'000'000), kStrong, false);
  Start();
  tuner_->SetFrequency(90'000'000);
  EXPECT_TRUE(Flags() & kStateStereo);
  EXPECT_TRUE(Flags() & kStateStation);
  EXPECT_EQ(tuner_->SetForceMono(true), kOk);
  EXPECT_EQ(device_->audmode, static_cast<uint32_t>(V4L2_TUNER_MODE_MONO));
  EXPECT_FALSE(Flags() & kStateStereo);
  tuner_->SetForceMono(false);
  EXPECT_EQ(device_->audmode, static_cast<uint32_t>(V4L2_TUNER_MODE_STEREO));
  tuner_->SetFrequency(92'000'000);
  EXPECT_FALSE(Flags() & kStateStereo);
  tuner_->SetFrequency(91'000'000);
  EXPECT_FALSE(Flags() & kStateStation);

  // Forced mono is applied again when the tuner is opened anew.
  tuner_->SetForceMono(true);
  tuner_->Uninitialize();
  device_->audmode = V4L2_TUNER_MODE_STEREO;
  Start();
  EXPECT_EQ(device_->audmode, static_cast<uint32_t>(V4L2_TUNER_MODE_MONO));
}

TEST_F(V4l2TunerTest, MuteThroughTheControlWhenThereIsOne) {
  Start();
  EXPECT_EQ(tuner_->SetMute(true), kOk);
  ASSERT_EQ(device_->controls.size(), 1u);
  EXPECT_EQ(device_->controls[0], (std::pair<uint32_t, int32_t>{V4L2_CID_AUDIO_MUTE, 1}));
  EXPECT_TRUE(Flags() & kStateMuted);
  // Without one (seen when the device is opened), muting only notes the state.
  tuner_->Uninitialize();
  device_->hasMute = false;
  Start();
  EXPECT_EQ(tuner_->SetMute(true), kOk);
  EXPECT_TRUE(Flags() & kStateMuted);
  EXPECT_EQ(tuner_->SetMute(false), kOk);
  EXPECT_FALSE(Flags() & kStateMuted);
  EXPECT_EQ(device_->controls.size(), 1u);
}

TEST_F(V4l2TunerTest, DecoderLevelFollowsTheSignal) {
  device_->AddStation(Fine(90'000'000), 65535);
  device_->AddStation(Fine(92'000'000), kFaint);
  Start();
  ASSERT_EQ(tuner_->StartRds(), kOk);
  uint32_t state = 0;
  tuner_->SetFrequency(90'000'000);
  ASSERT_EQ(tuner_->GetDecoderState(state), kOk);
  EXPECT_EQ(state & 0x0F, 0u);
  tuner_->SetFrequency(92'000'000);
  tuner_->GetDecoderState(state);
  EXPECT_EQ(state & 0x0F, 10u);
  tuner_->SetFrequency(91'000'000);
  tuner_->GetDecoderState(state);
  EXPECT_EQ(state & 0x0F, 15u);
}

class V4l2RdsTest : public V4l2TunerTest {
 protected:
  void SetUp() override {
    V4l2TunerTest::SetUp();
    device_->AddStation(Fine(99'000'000), kStrong);
    Start();
    tuner_->SetFrequency(99'000'000);
    tuner_->StartRds();
  }

  // A station's name and text as groups.
  std::vector<uint8_t> Broadcast(std::array<uint8_t, 4> statusOfBlockB = {}) {
    const rds::GroupHeader header{0x6E07, 9, true, false};
    const std::array<uint8_t, 8> ps = {'H', 'A', 'R', 'D', 'W', 'A', 'R', 'E'};
    const std::vector<uint8_t> text = {'O', 'n', ' ', 'a', 'i', 'r', '\r'};
    std::vector<uint8_t> bytes;
    for (int segment = 0; segment < 4; ++segment) {
      const auto records =
          RecordsOf(rds::EncodeBasicTuning(header, false, true, 0, segment, ps), statusOfBlockB);
      bytes.insert(bytes.end(), records.begin(), records.end());
    }
    for (int segment = 0; segment < 2; ++segment) {
      const auto records = RecordsOf(rds::EncodeRadioText(header, false, segment, text));
      bytes.insert(bytes.end(), records.begin(), records.end());
    }
    return bytes;
  }

  int32_t Eval(RdsRecord& record) { return tuner_->EvalData(record); }
};

TEST_F(V4l2RdsTest, NameAndTextFromTheBlockStream) {
  RdsRecord record{};
  EXPECT_EQ(Eval(record), kRdsNoData);
  // Blocks the chip corrected are used once a second receipt confirms them.
  device_->QueueRds(Broadcast({0, rds::kRawCorrected, 0, 0}));
  ASSERT_EQ(Eval(record), kOk);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record.ps), 8), "        ");
  device_->QueueRds(Broadcast({0, rds::kRawCorrected, 0, 0}));
  ASSERT_EQ(Eval(record), kOk);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record.ps), 8), "HARDWARE");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record.rt), 64), "On air" + std::string(58, ' '));
  EXPECT_EQ(record.pi, 0x6E07);
  EXPECT_EQ(record.pty, 9);
  EXPECT_EQ(record.tp, 1);
  uint32_t state = 0;
  tuner_->GetDecoderState(state);
  EXPECT_EQ(state >> 4, 0u);

  // Half a second without blocks: no longer fresh.
  clock_.Advance(501);
  EXPECT_EQ(Eval(record), kRdsStale);
}

TEST_F(V4l2RdsTest, BlocksInErrorAreDroppedAndCounted) {
  // Block D of every name group flagged in error: the name stays empty, the rest arrives.
  std::vector<uint8_t> bytes;
  const rds::GroupHeader header{0x6E07, 9, true, false};
  const std::array<uint8_t, 8> ps = {'H', 'A', 'R', 'D', 'W', 'A', 'R', 'E'};
  for (int segment = 0; segment < 4; ++segment) {
    const auto records = RecordsOf(rds::EncodeBasicTuning(header, false, true, 0, segment, ps),
                                   {0, 0, 0, rds::kRawError});
    bytes.insert(bytes.end(), records.begin(), records.end());
  }
  device_->QueueRds(bytes);
  RdsRecord record{};
  ASSERT_EQ(Eval(record), kOk);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record.ps), 8), std::string(8, ' '));
  uint32_t state = 0;
  tuner_->GetDecoderState(state);
  EXPECT_EQ(state >> 4, 4u);
  clock_.Advance(1000);
  tuner_->GetDecoderState(state);
  EXPECT_EQ(state >> 4, 0u);  // a second later the count has drained
}

TEST_F(V4l2RdsTest, TuningDiscardsBlocksOfThePreviousStation) {
  device_->QueueRds(Broadcast());
  tuner_->SetFrequency(99'100'000);
  RdsRecord record{};
  EXPECT_EQ(Eval(record), kRdsNoData);
  EXPECT_TRUE(device_->rds.empty());
}

TEST_F(V4l2RdsTest, ReplaysARawBlockDump) {
  // A dump as read from a device: whole records back to back, here with a block of unknown
  // position and a cut-short group in between.
  std::vector<uint8_t> dump = Broadcast();
  const std::vector<uint8_t> noise = {0x00, 0x00, rds::kRawPositionInvalid, 0x07, 0x6E, 0x00};
  dump.insert(dump.begin() + 12, noise.begin(), noise.end());
  device_->QueueRds(dump);
  RdsRecord record{};
  ASSERT_EQ(Eval(record), kOk);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record.ps), 8), "HARDWARE");
  uint32_t state = 0;
  tuner_->GetDecoderState(state);
  EXPECT_EQ(state >> 4, 1u);  // the block of unknown position
}

TEST_F(V4l2RdsTest, UnpluggedDeviceFailsCallsInsteadOfCrashing) {
  device_->QueueRds(Broadcast());
  RdsRecord record{};
  ASSERT_EQ(Eval(record), kOk);
  device_->gone = true;
  std::memset(&record, 0x5A, sizeof record);
  EXPECT_EQ(Eval(record), kDeviceLost);
  EXPECT_EQ(record.pty, 0x5A);  // nothing written
  int32_t value = 1;
  EXPECT_EQ(tuner_->GetFrequency(value), kDeviceLost);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(tuner_->Search(value, true), kDeviceLost);
  uint8_t flags = 0;
  EXPECT_EQ(tuner_->GetState(flags), kDeviceLost);
  EXPECT_EQ(tuner_->SetFrequency(90'000'000), kDeviceLost);

  // Plugged in again: a new start opens it anew.
  tuner_->Uninitialize();
  device_->gone = false;
  ASSERT_EQ(tuner_->Initialize(), kOk);
  EXPECT_EQ(device_->opens, 2);
  EXPECT_EQ(tuner_->SetFrequency(90'000'000), kOk);
}

}  // namespace
}  // namespace halvane::driver::v4l2
