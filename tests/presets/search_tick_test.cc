#include <algorithm>

#include "halvane/driver_contract.h"
#include "presets_fixture.h"

namespace presets_test {
namespace {

using halvane::SModes;
using testing_support::ReadFile;

class SearchTick : public PresetsTest {
 protected:
  void Tick() { radio_->SurfTimer_Timer(); }
  long Searches() const {
    const auto names = driver_->Names();
    return std::count(names.begin(), names.end(), "radioSearch");
  }
};

TEST_F(SearchTick, SurfStepsThroughThePresetsAndScanSeeksOnlyWhileActive) {
  StartWith({"8750", "9000,A", "9100,B"});
  radio_->SearchMode(SModes::Surf);
  Tick();
  Tick();
  Tick();
  EXPECT_EQ(presets().currentPreset(), 1);
  radio_->SearchMode(SModes::Scan);
  Tick();
  EXPECT_EQ(driver_->Names().back(), "RDS_Start");
  EXPECT_EQ(Searches(), 1);

  Activate(false);
  radio_->SearchMode(SModes::Surf);  // deactivation stopped the search; the host may set it again
  ClearCalls();
  Tick();
  radio_->SearchMode(SModes::Scan);
  Tick();
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(presets().currentPreset(), 1);
}

TEST_F(SearchTick, SurfOnAnEmptyStoreAndADisabledSearchDoNothing) {
  StartActive();
  radio_->SearchMode(SModes::Surf);
  Tick();
  radio_->SearchMode(SModes::Disabled);
  Tick();
  EXPECT_TRUE(Trace().empty());
}

TEST_F(SearchTick, LearningWaitsWhileTheFrequencyStandsStill) {
  StartActive();
  Command("searchpresets");  // tunes to 87.50
  Tick();                    // sees 87.50, passes it over and seeks: the driver finds nothing new
  ClearCalls();
  Tick();
  EXPECT_TRUE(Trace().empty());
  EXPECT_EQ(radio_->SearchMode(), SModes::PresetLearn);
}

// Stations at 90.00 and 95.50 MHz, with 107.90 (the band's top) and 87.50 (after the wrap) passed
// over; the run ends when the seek comes back to 90.00.
TEST_F(SearchTick, ALearningRunStoresEachNewStationAndStopsAtTheFirstAgain) {
  StartWith({"8750", "10000,Kept in the main list"});
  driver_->script.searchFound = {90000000, 95500000, 107900000, 107900000, 90000000};
  driver_->script.searchResults = {0, 0, 0, HALVANE_SEARCH_BAND_END, 0};
  Command("searchpresets");
  ASSERT_EQ(radio_->SearchMode(), SModes::PresetLearn);
  EXPECT_TRUE(radio_->search().SurfTimer()->Enabled());
  EXPECT_EQ(ReadFile(MainList()), "8750|0|0\r\n10000,Kept in the main list\r\n");

  Tick();  // 87.50: passed over, seeks to 90.00
  EXPECT_TRUE(Names().empty());
  Tick();  // 90.00: Preset 1
  EXPECT_EQ(ReadFile(LocalList()), "9000|0|0\r\n9000,Preset 1\r\n");
  Tick();  // 95.50: Preset 2
  Tick();  // 107.90: passed over; the seek runs off the band and wraps to 87.50
  Tick();  // 87.50: passed over
  EXPECT_EQ(radio_->Freq(), 9000);
  Tick();  // 90.00 is stored: the run is complete
  EXPECT_EQ(radio_->SearchMode(), SModes::Disabled);
  EXPECT_FALSE(radio_->search().SurfTimer()->Enabled());
  EXPECT_EQ(Searches(), 5);

  EXPECT_EQ(Names(), (Lines{"Preset 1", "Preset 2"}));
  EXPECT_EQ(ReadFile(LocalList()), "9550|0|0\r\n9000,Preset 1\r\n9550,Preset 2\r\n");
  EXPECT_EQ(screen_->list->rows, (Lines{"1. 90.0 - Preset 1", "2. 95.5 - Preset 2"}));
}

}  // namespace
}  // namespace presets_test
