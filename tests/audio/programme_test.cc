// The stations' programmes as the generator makes them: music of every style is stereo (where
// the station is), sounds, and is no single tone; the same station plays the same music at the
// same time; speech comes in syllable-rate bursts; the test tone is the tone.
#include "programme/programme.h"

#include <gtest/gtest.h>

#include <vector>

#include "tone_analysis.h"

namespace halvane::audio_test {
namespace {

using driver::programme::Kind;
using driver::programme::Options;
using driver::programme::Style;

std::vector<float> Render(const Options& options, double seconds) {
  const std::unique_ptr<driver::programme::Programme> programme =
      driver::programme::MakeProgramme(options);
  std::vector<float> sound(static_cast<size_t>(seconds * 48000) * 2);
  // In blocks as a tuner asks for them.
  for (size_t at = 0; at < sound.size(); at += 1920) {
    programme->Render(
        std::span<float>(sound).subspan(at, std::min<size_t>(1920, sound.size() - at)));
  }
  return sound;
}

TEST(Programme, MusicOfEveryStyleSoundsInStereoAndIsNoSingleTone) {
  for (const Style style : {Style::kPop, Style::kRock, Style::kJazz, Style::kClassical,
                            Style::kCountry, Style::kOldies, Style::kSoul}) {
    SCOPED_TRACE(static_cast<int>(style));
    Options options;
    options.style = style;
    options.seed = 0x8A04;
    options.airS = 15;  // the tune playing, a few bars into the first song
    const std::vector<float> sound = Render(options, 3);
    const std::vector<float> left = Channel(sound, 0, 0, sound.size() / 2);
    EXPECT_GT(Rms(left), 0.05);
    EXPECT_LT(StrongestLineShare(left), 0.4);
    EXPECT_GT(SideShare(sound), 0.005);  // the band spread over the stage
  }
}

TEST(Programme, AStationPlaysTheSameMusicAtTheSameTimeAndAMonoOneInMono) {
  Options options;
  options.style = Style::kJazz;
  options.airS = 95;
  const std::vector<float> first = Render(options, 1);
  EXPECT_EQ(first, Render(options, 1));
  options.stereo = false;
  EXPECT_EQ(SideShare(Render(options, 1)), 0.0);
}

TEST(Programme, SpeechComesInSyllableBursts) {
  Options options;
  options.kind = Kind::kSpeech;
  options.name = "Talkline";
  options.texts = {"Talkline: your calls, your views"};
  const std::vector<float> sound = Render(options, 5);
  const std::vector<float> left = Channel(sound, 0, 0, sound.size() / 2);
  EXPECT_GT(Rms(left), 0.03);
  const double bursts = BurstsPerSecond(left);
  EXPECT_GT(bursts, 2.0);
  EXPECT_LT(bursts, 9.0);
  EXPECT_EQ(SideShare(sound), 0.0);
}

TEST(Programme, ToneIsTheTestTone) {
  Options options;
  options.kind = Kind::kTone;
  options.tone = {1000, true, false, 0.5};
  const std::vector<float> sound = Render(options, 0.5);
  EXPECT_NEAR(ToneLevel(Channel(sound, 0, 0, sound.size() / 2), 1000), 0.5, 0.01);
  EXPECT_EQ(Rms(Channel(sound, 1, 0, sound.size() / 2)), 0.0);
}

}  // namespace
}  // namespace halvane::audio_test
