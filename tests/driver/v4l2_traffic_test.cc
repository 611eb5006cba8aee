// A seek with traffic on, on a V4L2 tuner: the fake device's stations send their PI and TP as the
// air would while the tuner listens, so the seek goes on past the stations that carry no
// traffic, with the device's hardware seek and with a walk over the raster alike.
#include <gtest/gtest.h>

#include <cerrno>

#include "fake_radio_device.h"
#include "halvane/driver_contract.h"
#include "result_codes.h"
#include "v4l2_test_support.h"

namespace halvane::driver::v4l2 {
namespace {

using testing_support::FakeRadioDevice;

constexpr uint32_t Fine(int64_t hz) { return static_cast<uint32_t>(hz * 2 / 125); }

class V4l2TrafficSeek : public testing_support::V4l2TunerFixture {
 protected:
  // `hardware`: the device seeks by itself; else the tuner walks the raster.
  void MakeTuner(bool hardware) {
    auto device = std::make_unique<FakeRadioDevice>(true);
    device_ = device.get();
    clock_.UseManual(true);
    device_->clock = &clock_;
    if (!hardware) device_->capabilities.capabilities &= ~V4L2_CAP_HW_FREQ_SEEK;
    tuner_ = std::make_unique<V4l2Tuner>(std::move(device), V4l2Options{"/dev/radio7", 10}, clock_);
    Start();
  }
  void OnAir(int64_t hz, std::optional<uint16_t> pi, bool tp = false) {
    device_->AddStation(Fine(hz), 0xFFFF);
    if (pi) device_->piOnAir[Fine(hz)] = *pi;
    if (tp) device_->trafficOnAir.insert(Fine(hz));
  }
  int32_t Seek(int32_t& frequency, bool up = true) {
    const int32_t result = tuner_->Search(frequency, up);
    if (result == kOk || result == HALVANE_SEARCH_BAND_END) {
      EXPECT_EQ(Frequency(), frequency);
    }
    return result;
  }
};

TEST_F(V4l2TrafficSeek, StopsOnlyOnStationsThatCarryTrafficEitherWay) {
  for (const bool hardware : {true, false}) {
    SCOPED_TRACE(hardware ? "hardware seek" : "walk");
    MakeTuner(hardware);
    OnAir(89'300'000, 0x1111);        // RDS, no traffic
    OnAir(91'000'000, std::nullopt);  // no RDS at all
    OnAir(95'000'000, 0x2222, true);
    OnAir(99'000'000, 0x3333);
    int32_t found = 87'500'000;
    ASSERT_EQ(Seek(found), kOk);
    EXPECT_EQ(found, 89'300'000);  // traffic off: the first station

    ASSERT_EQ(tuner_->SetTraffic(true), kOk);
    found = 87'500'000;
    ASSERT_EQ(Seek(found), kOk);
    EXPECT_EQ(found, 95'000'000);
    // On past the last station that carries none, to the band's end; and back down.
    EXPECT_EQ(Seek(found), HALVANE_SEARCH_BAND_END);
    found = 99'000'000;
    ASSERT_EQ(Seek(found, false), kOk);
    EXPECT_EQ(found, 95'000'000);
    // The station's data are decoded already: its PI is there once RDS runs.
    ASSERT_EQ(tuner_->StartRds(), kOk);
    RdsRecord record{};
    ASSERT_EQ(tuner_->EvalData(record), kOk);
    EXPECT_EQ(record.pi, 0x2222);
    EXPECT_NE(record.tp, 0);
  }
}

TEST_F(V4l2TrafficSeek, GivesUpInBoundedTimeBackWhereItBeganAndStopsAnywhereWithoutRds) {
  MakeTuner(true);
  // A band full of stations without RDS: each is listened to in vain.
  for (int64_t hz = 88'000'000; hz <= 107'000'000; hz += 500'000) OnAir(hz, std::nullopt);
  ASSERT_EQ(tuner_->SetTraffic(true), kOk);
  ASSERT_EQ(tuner_->SetFrequency(87'700'000), kOk);
  const int64_t start = clock_.NowMs();
  int32_t found = 87'700'000;
  EXPECT_EQ(tuner_->Search(found, true), kNoTrafficStationInTime);
  EXPECT_EQ(found, 87'700'000);
  EXPECT_EQ(Frequency(), 87'700'000);
  EXPECT_LE(clock_.NowMs() - start, 11'000);
  // RDS another program holds tells nothing: the first station stops the seek, as without RDS.
  device_->rdsReadError = EBUSY;
  ASSERT_EQ(tuner_->Search(found, true), kOk);
  EXPECT_EQ(found, 88'000'000);
}

TEST_F(V4l2TrafficSeek, ReadsTheChipsOwnFlagWhereItDecodesRdsItself) {
  Make(testing_support::Personality::kSi476x);
  device_->clock = &clock_;
  device_->tuner.capability &= ~V4L2_TUNER_CAP_RDS_BLOCK_IO;
  device_->rdsReadError = EINVAL;
  device_->AddStation(Fine(95'000'000), FakeRadioDevice::RssiSignal(50));
  device_->stringsNow = {{V4L2_CID_RDS_RX_PS_NAME, "CTRL"}, {V4L2_CID_RDS_RX_RADIO_TEXT, ""}};
  Start();
  ASSERT_EQ(tuner_->SetTraffic(true), kOk);
  for (const int tp : {0, 1}) {
    device_->controlsNow[V4L2_CID_RDS_RX_TRAFFIC_PROGRAM] = tp;
    int32_t found = 87'500'000;
    EXPECT_EQ(Seek(found), tp ? kOk : HALVANE_SEARCH_BAND_END);
    EXPECT_EQ(found, tp ? 95'000'000 : 108'000'000);
  }
}

}  // namespace
}  // namespace halvane::driver::v4l2
