// A host that sets the process's number locale to its user's (GTK and Qt hosts call setlocale at
// start-up) must not change how the plug-in reads and writes numbers: the leading-number reading
// keeps "." and the locale readings and formats keep the separators the plug-in was given.
#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "robustness_fixture.h"
#include "runtime/numbers.h"

namespace {

using namespace halvane;

// A locale whose only category says "," for the decimal point and "." for grouping, compiled
// into the test's folder: the machine need not have any locale installed.
const char* const kCommaLocaleSource =
    "comment_char %\nescape_char /\nLC_NUMERIC\ndecimal_point \"<U002C>\"\n"
    "thousands_sep \"<U002E>\"\ngrouping 3;3\nEND LC_NUMERIC\n";

class HostNumberLocale : public robustness::RobustnessTest {
 protected:
  void SetUp() override {
    RobustnessTest::SetUp();
    const std::string folder = dir_->path() + "/locales";
    std::filesystem::create_directories(folder);
    testing_support::WriteFile(folder + "/comma.src", kCommaLocaleSource);
    const std::string make =
        "localedef -c -i '" + folder + "/comma.src' '" + folder + "/xx_COMMA' >/dev/null 2>&1";
    (void)std::system(
        make.c_str());  // warns, and says so in its status, for the categories left out
    ASSERT_TRUE(testing_support::FileExists(folder + "/xx_COMMA/LC_NUMERIC"));
    setenv("LOCPATH", folder.c_str(), 1);
    previous_ = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "xx_COMMA"), nullptr);
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  }
  void TearDown() override {
    std::setlocale(LC_NUMERIC, previous_.c_str());
    unsetenv("LOCPATH");
    RobustnessTest::TearDown();
  }

 private:
  std::string previous_;
};

TEST_F(HostNumberLocale, ReadingsAndFormatsKeepTheirOwnSeparators) {
  const NumberFormat point{".", ","}, comma{",", "."};
  EXPECT_EQ(LeadingNumber("87.5"), 87.5);
  EXPECT_EQ(LeadingNumber(" 101.55 MHz"), 101.55);
  EXPECT_EQ(LocaleNumber("101.5", point), 101.5);
  EXPECT_EQ(LocaleNumber("1.234,5", comma), 1234.5);
  EXPECT_EQ(LocaleNumber("2.5e1", point), 25.0);
  EXPECT_EQ(FormatOneDecimal(103.9, point), "103.9");
  EXPECT_EQ(FormatOneDecimal(103.9, comma), "103,9");
  EXPECT_EQ(FormatNumber(0.5, point), "0.5");
  EXPECT_EQ(FormatNumber(2.5, comma), "2,5");
}

TEST_F(HostNumberLocale, TypedAndStoredFrequenciesReadTheSame) {
  WriteCacheFile("Radio.ini", "9580|0|0\r\n10390,Jazz\r\n");
  StartActive();
  EXPECT_EQ(Cmd("rtune;101.5").value, "2");
  EXPECT_EQ(radio_->Freq(), 10150);
  EXPECT_EQ(Cmd("tune").value, "0");
  auto keyboard = fake::KeyboardScreen();
  keyboard->txt[0]->text = Variant(std::string("98.7"));
  EXPECT_EQ(Cmd("enter", keyboard).value, "0");
  EXPECT_EQ(radio_->Freq(), 9870);
  EXPECT_EQ(component_->presets().RowText(1), "1. 103.9 - Jazz");
  sdk_->Var("scansecs", Variant(std::string("2.5")));
  EXPECT_EQ(Cmd("scan").value, "2");
  EXPECT_EQ(radio_->search().SurfTimer()->Interval(), 2500);
}

}  // namespace
