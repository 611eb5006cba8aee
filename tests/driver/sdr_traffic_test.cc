// Traffic on the SDR tuner over the synthetic band, polled as the plug-in polls on the manual
// clock: a seek with traffic on listens to each station for its TP, and a linked programme's
// announcement inside the captured span is heard on its own frequency, the radio back after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "band/band_file.h"
#include "result_codes.h"
#include "sdr/sdr_tuner.h"
#include "sdr/sources/synthetic_source.h"
#include "sdr_test_support.h"

namespace halvane::driver::testing_support {
namespace {

class NoSound final : public audio::AudioSink {
 public:
  void Write(std::span<const float>) override {}
  void SetTitle(std::string_view) override {}
};

class SdrTraffic : public ::testing::Test {
 protected:
  void Make(const std::string& band, int32_t rate) {
    clock_.UseManual(true);
    sdr::SdrConfig config;
    config.rate = rate;
    sdr::SdrTunerParts parts;
    parts.makeSource = [config, band] {
      return std::make_unique<sdr::SyntheticSource>(config, [band] {
        band::BandLoad load;
        load.band = band::ParseBandFile(band).value.value();  // a band the test got wrong throws
        return load;
      });
    };
    parts.openAudio = [] { return std::make_unique<NoSound>(); };
    tuner_ = std::make_unique<sdr::SdrTuner>(clock_, config, 10, std::move(parts));
    ASSERT_EQ(tuner_->Initialize(), kOk);
  }
  int32_t Frequency() {
    int32_t frequency = 0;
    EXPECT_EQ(tuner_->GetFrequency(frequency), kOk);
    return frequency;
  }

  DriverClock clock_;
  std::unique_ptr<sdr::SdrTuner> tuner_;
};

TEST_F(SdrTraffic, ASeekWithTrafficOnStopsOnlyWhereTheStationSaysItCarriesTraffic) {
  Make(R"(
[station News]
frequency = 88.0 MHz
pi = 1111
programme = tone
[station Quiet]
frequency = 88.5 MHz
programme = tone
[station Road]
frequency = 89.0 MHz
pi = 2222
tp = yes
programme = tone
[station Late]
frequency = 89.5 MHz
pi = 3333
programme = tone
)",
       static_cast<int32_t>(kTestRate));
  int32_t found = 87'500'000;
  ASSERT_EQ(tuner_->Search(found, true), kOk);
  EXPECT_EQ(found, 88'000'000);
  ASSERT_EQ(tuner_->SetTraffic(true), kOk);
  found = 87'500'000;
  ASSERT_EQ(tuner_->Search(found, true), kOk);
  EXPECT_EQ(found, 89'000'000);
  EXPECT_EQ(Frequency(), 89'000'000);
  // What the station sent while it was listened to shows once RDS runs.
  ASSERT_EQ(tuner_->StartRds(), kOk);
  RdsRecord record{};
  ASSERT_EQ(tuner_->EvalData(record), kOk);
  EXPECT_EQ(record.pi, 0x2222);
  EXPECT_NE(record.tp, 0);
  EXPECT_EQ(tuner_->Search(found, true), HALVANE_SEARCH_BAND_END);
  EXPECT_EQ(found, 108'000'000);
  found = 89'500'000;
  ASSERT_EQ(tuner_->Search(found, false), kOk);
  EXPECT_EQ(found, 89'000'000);
}

TEST_F(SdrTraffic, ALinkedAnnouncementIsHeardOnItsFrequencyAndTheRadioComesBack) {
  // Home tells of Road Traffic, whose announcement runs from 6 s to 12 s after the radio's
  // start: inside the captured span (only the receiver moves), or beyond it (the source
  // retunes, and the station's schedule goes on as it was).
  for (const int32_t road : {90'300'000, 91'000'000}) {
    SCOPED_TRACE(road);
    std::string band = R"(
[station Home]
frequency = 90.0 MHz
pi = 1111
ps = "HOME FM "
eon = 2222
programme = tone
[station Road Traffic]
frequency = ROAD
pi = 2222
tp = yes
ta = toggle
ta_period = 6
ps = "TRAFFIC "
programme = tone
)";
    band.replace(
        band.find("ROAD"), 4,
        std::to_string(road / 1'000'000) + "." + std::to_string(road / 100'000 % 10) + " MHz");
    Make(band, 1'024'000);
    ASSERT_EQ(tuner_->SetTraffic(true), kOk);
    ASSERT_EQ(tuner_->SetFrequency(90'000'000), kOk);
    ASSERT_EQ(tuner_->StartRds(), kOk);
    int64_t arrived = -1;
    int64_t back = -1;
    bool announced = false;
    for (int64_t at = 100; at <= 15'000 && back < 0; at += 100) {
      clock_.Advance(100);
      uint32_t state = 0;
      ASSERT_EQ(tuner_->GetDecoderState(state), kOk);
      const int32_t frequency = Frequency();
      RdsRecord record{};
      const bool data = tuner_->EvalData(record) == kOk;
      if (frequency == road) {
        if (arrived < 0) arrived = at;
        announced |= data && record.ta != 0 && Text(record.ps, 8) == "TRAFFIC ";
      } else if (arrived >= 0) {
        back = at;
        ASSERT_TRUE(data);
        EXPECT_EQ(Text(record.ps, 8), "HOME FM ");  // shown again at once
      }
    }
    ASSERT_GE(arrived, 6'000);
    EXPECT_LT(arrived, 10'000);
    EXPECT_TRUE(announced);
    ASSERT_GT(back, 12'000);
    EXPECT_LE(back, 14'000);
    EXPECT_EQ(Frequency(), 90'000'000);
  }
}

}  // namespace
}  // namespace halvane::driver::testing_support
