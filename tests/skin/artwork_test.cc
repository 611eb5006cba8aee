#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "skin_fixture.h"

namespace {

using halvane::Variant;
using skin_test::SkinTest;
using testing_support::WriteFile;
namespace fs = std::filesystem;

class Artwork : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    sdk->Var("dmartpath", Variant(ArtDir()));
    fs::create_directories(Folder());
  }
  std::string ArtDir() const { return dir->path() + "/art/"; }
  std::string Folder() const { return ArtDir() + "RadioArt/"; }
  void Put(const std::string& name) { WriteFile(Folder() + name, "picture"); }
  // Active on 87.50 MHz with a valid RDS record carrying `pi`.
  void Playing(int16_t pi) {
    StartActive();
    Tuner().currentFreq = 8750;
    SetRds(pi, 0, "", "");
    sdk->asked.clear();
  }
  // Puts every candidate, then takes away whichever the lookup returns, recording the order.
  std::vector<std::string> ReturnedInTurn(const std::vector<std::string>& present) {
    for (const auto& name : present) Put(name);
    std::vector<std::string> order;
    for (size_t i = 0; i <= present.size(); ++i) {
      std::string path = radio->GetArtwork();
      if (path.empty()) break;
      order.push_back(path.substr(Folder().size()));
      fs::remove(path);
    }
    return order;
  }
};

const std::vector<std::string> kAllNames = {
    "PI4660.png", "PI4660.jpg", "PI4660.gif", "8750.png",  "8750.jpg",
    "8750.gif",   "radio.png",  "radio.jpg",  "radio.gif",
};

TEST_F(Artwork, InactiveAnswersEmptyWithoutAskingTheHost) {
  Put("radio.gif");
  Start();
  sdk->asked.clear();
  EXPECT_EQ(radio->GetArtwork(), "");
  EXPECT_TRUE(sdk->asked.empty());
}

TEST_F(Artwork, AsksTheHostForTheFolderThenTheFastMode) {
  Playing(0x1234);
  radio->GetArtwork();
  EXPECT_EQ(sdk->asked, (std::vector<std::string>{"=$dmartpath$", "=$fastmode$"}));
}

TEST_F(Artwork, CandidatesInOrderWithFastModeMinusOne) {
  sdk->Var("fastmode", Variant("-1"));
  Playing(0x1234);
  EXPECT_EQ(ReturnedInTurn(kAllNames), kAllNames);
}

TEST_F(Artwork, FastModeZeroNeverReturnsPng) {
  sdk->Var("fastmode", Variant("0"));
  Playing(0x1234);
  EXPECT_EQ(ReturnedInTurn(kAllNames),
            (std::vector<std::string>{"PI4660.jpg", "PI4660.gif", "8750.jpg", "8750.gif",
                                      "radio.jpg", "radio.gif"}));
  // Only the ".png" files are left, and none of them is found.
  EXPECT_TRUE(fs::exists(Folder() + "radio.png"));
  EXPECT_EQ(radio->GetArtwork(), "");
}

TEST_F(Artwork, FastModeIsTheRoundedLeadingNumberOfTheHostsText) {
  Put("radio.png");
  Playing(0x1234);
  struct Case {
    const char* text;
    bool png;
  };
  for (const Case& c : {Case{"-1", true}, Case{" -1.4 seconds", true}, Case{"-0.5", false},
                        Case{"", false}, Case{"1", false}, Case{"True", false},
                        Case{"40000", true}}) {  // beyond 16 bits: the read is skipped
    sdk->Var("fastmode", Variant(c.text));
    EXPECT_EQ(radio->GetArtwork(), c.png ? Folder() + "radio.png" : "") << c.text;
  }
}

TEST_F(Artwork, AFailingFastModeQueryKeepsPng) {
  sdk->failingVars.insert("=$fastmode$");
  Put("radio.png");
  Playing(0x1234);
  EXPECT_EQ(radio->GetArtwork(), Folder() + "radio.png");
}

TEST_F(Artwork, NegativePiNamesTheFileWithAMinusSign) {
  Put("PI-11326.jpg");
  Put("8750.jpg");
  Playing(static_cast<int16_t>(0xD3C2));
  EXPECT_EQ(radio->GetArtwork(), Folder() + "PI-11326.jpg");
}

TEST_F(Artwork, WithoutValidRdsThePiPassIsSkipped) {
  Put("PI4660.png");
  Put("radio.gif");
  Playing(0x1234);
  Tuner().rdsValid = false;
  EXPECT_EQ(radio->GetArtwork(), Folder() + "radio.gif");
}

TEST_F(Artwork, EarlierPassesWinOverBetterExtensionsOfLaterOnes) {
  Put("PI4660.jpg");
  Put("8750.png");
  Playing(0x1234);
  EXPECT_EQ(radio->GetArtwork(), Folder() + "PI4660.jpg");
  fs::remove(Folder() + "PI4660.jpg");
  fs::remove(Folder() + "8750.png");
  Put("8750.gif");
  Put("radio.png");
  EXPECT_EQ(radio->GetArtwork(), Folder() + "8750.gif");
}

TEST_F(Artwork, TheFrequencyPassUsesTheTunersUnits) {
  Put("10150.jpg");
  Put("1000.jpg");
  Playing(0x1234);
  Tuner().currentFreq = 10150;
  EXPECT_EQ(radio->GetArtwork(), Folder() + "10150.jpg");
  Tuner().currentFreq = 1000;
  EXPECT_EQ(radio->GetArtwork(), Folder() + "1000.jpg");
}

TEST_F(Artwork, NamesMatchExactlyAndFoldersAreNotPictures) {
  Put("Radio.gif");
  Put("pi4660.jpg");
  fs::create_directories(Folder() + "radio.jpg");
  Playing(0x1234);
  EXPECT_EQ(radio->GetArtwork(), "");
  Put("radio.gif");
  EXPECT_EQ(radio->GetArtwork(), Folder() + "radio.gif");
}

TEST_F(Artwork, AFolderThatCannotBeSearchedFindsNothing) {
  // The host's artwork "folder" is an ordinary file, so every test fails with "not a directory".
  WriteFile(dir->path() + "/not-a-folder", "x");
  sdk->Var("dmartpath", Variant(dir->path() + "/not-a-folder/"));
  Playing(0x1234);
  EXPECT_EQ(radio->GetArtwork(), "");
  // A folder name beyond the system's limits fails the same way.
  sdk->Var("dmartpath", Variant(dir->path() + "/" + std::string(5000, 'a') + "/"));
  EXPECT_EQ(radio->GetArtwork(), "");
}

TEST_F(Artwork, AFailingFolderQueryLooksForBareNamesInTheCurrentFolder) {
  sdk->failingVars.insert("=$dmartpath$");
  Put("radio.gif");  // under the real folder: not looked at
  Playing(0x1234);
  const fs::path previous = fs::current_path();
  fs::current_path(dir->path());
  const std::string without = radio->GetArtwork();
  WriteFile(dir->path() + "/radio.jpg", "picture");
  const std::string bare = radio->GetArtwork();
  fs::current_path(previous);
  EXPECT_EQ(without, "");
  EXPECT_EQ(bare, "radio.jpg");
}

}  // namespace
