// The V4L2 tuner against devices that behave as the kernel's radio drivers do (the virtual
// receiver, si470x, si476x, wl128x), one test per way they differ from a tidy device.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <tuple>

#include "fake_radio_device.h"
#include "last_reason.h"
#include "rds/group_encoder.h"
#include "result_codes.h"
#include "v4l2/v4l2_tuner.h"
#include "v4l2_test_support.h"

namespace halvane::driver::v4l2 {
namespace {

using testing_support::FakeRadioDevice;
using testing_support::Personality;
using testing_support::RecordsOf;

constexpr auto kFine = FakeRadioDevice::Fine;
constexpr int32_t kStrong = 60'000;

const rds::GroupHeader kHeader{0x6E07, 9, true, false};
const std::array<uint8_t, 8> kName = {'H', 'A', 'R', 'D', 'W', 'A', 'R', 'E'};
const std::vector<uint8_t> kText = {'O', 'n', ' ', 'a', 'i', 'r', '\r'};

// One round of a station's name, then its text.
std::vector<uint8_t> Round() {
  std::vector<uint8_t> bytes;
  for (int segment = 0; segment < 4; ++segment) {
    const auto records = RecordsOf(rds::EncodeBasicTuning(kHeader, false, true, 0, segment, kName));
    bytes.insert(bytes.end(), records.begin(), records.end());
  }
  for (int segment = 0; segment < 2; ++segment) {
    const auto records = RecordsOf(rds::EncodeRadioText(kHeader, false, segment, kText));
    bytes.insert(bytes.end(), records.begin(), records.end());
  }
  return bytes;
}

std::string Ps(const RdsRecord& record) {
  return std::string(reinterpret_cast<const char*>(record.ps), 8);
}
std::string Rt(const RdsRecord& record) {
  return std::string(reinterpret_cast<const char*>(record.rt), 64);
}

using KernelDriverTest = testing_support::V4l2TunerFixture;

TEST_F(KernelDriverTest, RdsReadsNeverWaitForBlocks) {
  // The virtual receiver has RDS on whole megahertz only; elsewhere nothing ever arrives.
  Make(Personality::kVirtualReceiver);
  device_->AddStation(kFine(95'000'000), kStrong);
  Start();
  ASSERT_EQ(tuner_->StartRds(), kOk);
  EXPECT_EQ(tuner_->SetFrequency(95'500'000), kOk);
  RdsRecord record{};
  EXPECT_EQ(tuner_->EvalData(record), kRdsNoData);
  uint32_t state = 0;
  EXPECT_EQ(tuner_->GetDecoderState(state), kOk);
  EXPECT_EQ(tuner_->SetFrequency(95'000'000), kOk);
  device_->QueueRds(Round());
  EXPECT_EQ(tuner_->EvalData(record), kOk);
  EXPECT_EQ(Ps(record), "HARDWARE");
}

// The band's end is reported and tuned: the device and the tuner's report agree on the edge.
TEST_F(KernelDriverTest, HardwareSeekFindsAndTunesTheBandsEnd) {
  struct Case {
    Personality personality;
    int32_t from;
    bool up;
    int32_t edge;
    uint32_t rangeLow, rangeHigh;  // what the seek asks of the device
  } cases[] = {
      // Without programmable limits, the device's own band that matches the FM band.
      {Personality::kSi470x, 88'000'000, false, 87'500'000, kFine(87'500'000), kFine(108'000'000)},
      {Personality::kSi470x, 107'000'000, true, 108'000'000, kFine(87'500'000), kFine(108'000'000)},
      {Personality::kWl128x, 107'000'000, true, 108'000'000, 0, 0},  // stops on the edge
      // With them, the FM band, not the device's 64-108 MHz.
      {Personality::kVirtualReceiver, 100'000'000, true, 108'000'000, kFine(87'500'000),
       kFine(108'000'000)},  // does not move
      {Personality::kSi476x, 88'000'000, false, 87'500'000, kFine(87'500'000), kFine(108'000'000)},
      {Personality::kGeneric, 100'000'000, true, 108'000'000, kFine(87'500'000),
       kFine(108'000'000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "device " << static_cast<int>(c.personality) << " from " << c.from);
    Make(c.personality);
    device_->AddStation(kFine(70'000'000), kStrong);  // below the FM band (OIRT)
    Start();
    int32_t value = c.from;
    EXPECT_EQ(tuner_->Search(value, c.up), HALVANE_SEARCH_BAND_END);
    EXPECT_EQ(value, c.edge);
    EXPECT_EQ(device_->frequency, kFine(c.edge));
    EXPECT_EQ(Frequency(), c.edge);
    ASSERT_FALSE(device_->seeks.empty());
    EXPECT_EQ(device_->seeks[0].rangelow, c.rangeLow);
    EXPECT_EQ(device_->seeks[0].rangehigh, c.rangeHigh);
    // And again from the edge, as the plug-in repeats a seek.
    EXPECT_EQ(tuner_->Search(value, c.up), HALVANE_SEARCH_BAND_END);
    EXPECT_EQ(value, c.edge);
  }
}

TEST_F(KernelDriverTest, SeekResultsStayOnTheRaster) {
  // si476x reads the spacing in its own units: it gets none and uses its default.
  Make(Personality::kSi476x);
  device_->AddStation(kFine(90'000'000), FakeRadioDevice::RssiSignal(50));
  Start();
  int32_t value = 88'000'000;
  EXPECT_EQ(tuner_->Search(value, true), kOk);
  EXPECT_EQ(value, 90'000'000);
  EXPECT_EQ(device_->seeks.back().spacing, 0u);

  // si470x stops on its own 50 kHz raster: the channel beyond, in the seek's direction.
  Make(Personality::kSi470x);
  device_->AddStation(kFine(95'850'000), kStrong);
  Start();
  value = 95'000'000;
  EXPECT_EQ(tuner_->Search(value, true), kOk);
  EXPECT_EQ(value, 95'900'000);
  EXPECT_EQ(Frequency(), 95'900'000);
  value = 96'500'000;
  EXPECT_EQ(tuner_->Search(value, false), kOk);
  EXPECT_EQ(value, 95'800'000);
}

TEST_F(KernelDriverTest, RdsErrorsNeverFailATune) {
  // EBUSY: another handle owns RDS (si470x); EINVAL: RDS in controls mode (si476x).
  for (int error : {EBUSY, EINVAL}) {
    SCOPED_TRACE(error);
    Make(Personality::kSi470x);
    device_->AddStation(kFine(95'000'000), kStrong);
    Start();
    ASSERT_EQ(tuner_->StartRds(), kOk);
    device_->rdsReadError = error;
    EXPECT_EQ(tuner_->SetFrequency(94'000'000), kOk);
    RdsRecord record{};
    EXPECT_EQ(tuner_->EvalData(record), kRdsNoData);
    uint32_t state = 0;
    EXPECT_EQ(tuner_->GetDecoderState(state), kOk);

    // A software seek walks on to the station.
    device_->seekError = ENOTTY;
    int32_t value = 94'000'000;
    EXPECT_EQ(tuner_->Search(value, true), kOk);
    EXPECT_EQ(value, 95'000'000);

    // The next tune tries again.
    device_->rdsReadError = 0;
    EXPECT_EQ(tuner_->SetFrequency(95'000'000), kOk);
    device_->QueueRds(Round());
    EXPECT_EQ(tuner_->EvalData(record), kOk);
  }
}

TEST_F(KernelDriverTest, RdsFromControlsWhenTheDeviceHasNoBlockIo) {
  Make(Personality::kSi476x);
  device_->tuner.capability &= ~V4L2_TUNER_CAP_RDS_BLOCK_IO;
  device_->rdsReadError = EINVAL;
  device_->AddStation(kFine(95'000'000), FakeRadioDevice::RssiSignal(50));
  device_->controlsNow = {{V4L2_CID_RDS_RX_PTY, 10},
                          {V4L2_CID_RDS_RX_TRAFFIC_ANNOUNCEMENT, 1},
                          {V4L2_CID_RDS_RX_TRAFFIC_PROGRAM, 1},
                          {V4L2_CID_RDS_RX_MUSIC_SPEECH, 0}};
  device_->stringsNow = {{V4L2_CID_RDS_RX_PS_NAME, ""}, {V4L2_CID_RDS_RX_RADIO_TEXT, ""}};
  Start();
  ASSERT_EQ(tuner_->StartRds(), kOk);
  ASSERT_EQ(tuner_->SetFrequency(95'000'000), kOk);
  RdsRecord record{};
  EXPECT_EQ(tuner_->EvalData(record), kRdsNoData);  // nothing received yet

  device_->stringsNow[V4L2_CID_RDS_RX_PS_NAME] = "CTRL";
  device_->stringsNow[V4L2_CID_RDS_RX_RADIO_TEXT] = "Text by controls";
  ASSERT_EQ(tuner_->EvalData(record), kOk);
  EXPECT_EQ(Ps(record), "CTRL    ");
  EXPECT_EQ(Rt(record), "Text by controls" + std::string(48, ' '));
  // The controls carry no PI.
  using Flags5 = std::tuple<int, int, int, int, int>;
  EXPECT_EQ(Flags5(record.pi, record.pty, record.ta, record.tp, record.ms), Flags5(0, 10, 1, 1, 0));
  EXPECT_EQ(tuner_->StopRds(), kOk);
  EXPECT_EQ(tuner_->EvalData(record), kRdsStopped);
}

TEST_F(KernelDriverTest, EmptyChannelIsNeitherStationNorStereo) {
  for (Personality personality : {Personality::kSi476x, Personality::kWl128x}) {
    Make(personality);
    device_->AddStation(kFine(90'000'000), FakeRadioDevice::RssiSignal(50));
    Start();
    // The seek passes 88.1 MHz by: the noise floor is measured there.
    int32_t value = 88'000'000;
    ASSERT_EQ(tuner_->Search(value, true), kOk);
    ASSERT_EQ(value, 90'000'000);
    ASSERT_EQ(tuner_->SetFrequency(89'000'000), kOk);
    EXPECT_EQ(Flags() & (kStateStation | kStateStereo), 0);
    ASSERT_EQ(tuner_->SetFrequency(90'000'000), kOk);
    EXPECT_EQ(Flags() & (kStateStation | kStateStereo), kStateStation);  // stereo: cannot tell
  }
  // AM is never stereo, whatever the device says.
  Make(Personality::kGeneric);
  device_->AddAmBand();
  device_->AddStation(1040 * 16, kStrong, true);
  Start();
  ASSERT_EQ(tuner_->SetFrequency(10'400'000), kOk);
  EXPECT_EQ(Flags() & (kStateStation | kStateStereo), kStateStation);
}

TEST_F(KernelDriverTest, UnflaggedDevicesTakeNameAndTextOnlyWhenRepeated) {
  Make(Personality::kWl128x);  // never flags a block in error
  device_->AddStation(kFine(99'000'000), FakeRadioDevice::RssiSignal(50));
  Start();
  ASSERT_EQ(tuner_->SetFrequency(99'000'000), kOk);
  ASSERT_EQ(tuner_->StartRds(), kOk);
  RdsRecord record{};
  device_->QueueRds(Round());
  EXPECT_EQ(tuner_->EvalData(record), kRdsNoData);  // nothing heard twice yet

  // A damaged name segment, and an E block (position 4) where text block C belongs.
  std::vector<uint8_t> damaged = Round();
  damaged[3 * 4 + 9] = 'X';  // name segment 1, block D
  damaged[3 * 4 + 10] = 'X';
  const size_t textC = 3 * 16 + 6;
  damaged[textC] = 'z';
  damaged[textC + 1] = 'z';
  damaged[textC + 2] = rds::kRawPositionCPrime;
  // And a group of another type whose block B came wrong: programme type 31.
  const auto other = RecordsOf({kHeader.pi, 0x1000 | 0x0400 | 31 << 5, 0, 0});
  damaged.insert(damaged.end(), other.begin(), other.end());
  device_->QueueRds(damaged);
  ASSERT_EQ(tuner_->EvalData(record), kOk);
  EXPECT_EQ(Ps(record).find('X'), std::string::npos) << Ps(record);
  EXPECT_EQ(Rt(record).find('z'), std::string::npos) << Rt(record);
  EXPECT_EQ(record.pty, 9);

  device_->QueueRds(Round());
  device_->QueueRds(Round());
  ASSERT_EQ(tuner_->EvalData(record), kOk);
  EXPECT_EQ(Ps(record), "HARDWARE");
  EXPECT_EQ(Rt(record), "On air" + std::string(58, ' '));
}

TEST_F(KernelDriverTest, TransientFailuresAreNotLoss) {
  Make(Personality::kSi470x);
  Start();
  ASSERT_EQ(tuner_->SetFrequency(95'000'000), kOk);
  // si470x-i2c: one I/O error on the bus.
  device_->failNext = EIO;
  int32_t value = 0;
  EXPECT_EQ(tuner_->GetFrequency(value), kDeviceError);
  EXPECT_NE(LastReason().find("/dev/radio7"), std::string_view::npos) << LastReason();
  EXPECT_NE(LastReason().find("Input/output error"), std::string_view::npos) << LastReason();
  EXPECT_EQ(Frequency(), 95'000'000);

  // si470x-usb: any failure of the USB transfer is EINVAL, also from the mute control it has.
  device_->failAll = EINVAL;
  EXPECT_EQ(tuner_->SetMute(true), kDeviceError);
  device_->failAll = 0;
  EXPECT_EQ(Flags() & kStateMuted, 0);
}

}  // namespace
}  // namespace halvane::driver::v4l2
