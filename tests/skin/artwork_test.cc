#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "skin_fixture.h"

namespace {

using halvane::Variant;
using skin_test::SkinTest;
using testing_support::WriteFile;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class Artwork : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    sdk_->Var("dmartpath", Variant(dir_->path() + "/art/"));
    fs::create_directories(Folder());
  }
  std::string Folder() const { return dir_->path() + "/art/RadioArt/"; }
  void Put(const std::string& name) { WriteFile(Folder() + name, "picture"); }
  std::string Found(const std::string& name) { return Folder() + name; }
  // Active on 87.50 MHz with a valid RDS record carrying `pi`.
  void Playing(int16_t pi) {
    StartActive();
    Receive(8750);
    SetRds(pi, 0, "", "");
    sdk_->asked.clear();
  }
  // Puts every name, then takes away whichever the lookup returns: the order of the candidates.
  Names ReturnedInTurn(const Names& present) {
    for (const auto& name : present) Put(name);
    Names order;
    for (std::string path; !(path = radio_->GetArtwork()).empty() && order.size() <= present.size();
         fs::remove(path))
      order.push_back(path.substr(Folder().size()));
    return order;
  }
};

const Names kAll = {"PI4660.png", "PI4660.jpg", "PI4660.gif", "8750.png", "8750.jpg",
                    "8750.gif",   "radio.png",  "radio.jpg",  "radio.gif"};

TEST_F(Artwork, InactiveAnswersEmptyWithoutAskingTheHost) {
  Put("radio.gif");
  Start();
  sdk_->asked.clear();
  EXPECT_EQ(radio_->GetArtwork(), "");
  EXPECT_TRUE(sdk_->asked.empty());
}

TEST_F(Artwork, CandidatesInOrderWithFastModeMinusOneAfterTwoHostCalls) {
  sdk_->Var("fastmode", Variant("-1"));
  Playing(0x1234);
  EXPECT_EQ(ReturnedInTurn(kAll), kAll);
  EXPECT_EQ(sdk_->asked.size(), 2 * (kAll.size() + 1));
  EXPECT_EQ(sdk_->asked[0], "=$dmartpath$");
  EXPECT_EQ(sdk_->asked[1], "=$fastmode$");
}

TEST_F(Artwork, FastModeZeroNeverReturnsPng) {
  sdk_->Var("fastmode", Variant("0"));
  Playing(0x1234);
  EXPECT_EQ(ReturnedInTurn(kAll),
            (Names{"PI4660.jpg", "PI4660.gif", "8750.jpg", "8750.gif", "radio.jpg", "radio.gif"}));
  EXPECT_TRUE(fs::exists(Found("radio.png")));
}

TEST_F(Artwork, FastModeIsTheRoundedLeadingNumberOfTheHostsText) {
  Put("radio.png");
  Playing(0x1234);
  struct Case {
    const char* text;
    bool png;
  };
  for (const Case& c : {Case{" -1.4 s", true}, Case{"-0.5", false}, Case{"", false},
                        Case{"True", false}, Case{"40000", true}}) {  // 40000: the read fails
    sdk_->Var("fastmode", Variant(c.text));
    EXPECT_EQ(radio_->GetArtwork(), c.png ? Found("radio.png") : "") << c.text;
  }
  sdk_->failingVars.insert("=$fastmode$");
  EXPECT_EQ(radio_->GetArtwork(), Found("radio.png"));
}

TEST_F(Artwork, NegativePiNamesTheFileWithAMinusSign) {
  Put("PI-11326.jpg");
  Put("8750.jpg");
  Playing(static_cast<int16_t>(0xD3C2));
  EXPECT_EQ(radio_->GetArtwork(), Found("PI-11326.jpg"));
}

TEST_F(Artwork, EachPassWinsOverBetterExtensionsOfLaterOnes) {
  sdk_->Var("fastmode", Variant(int32_t{-1}));
  Put("PI4660.jpg");
  Put("8750.gif");
  Put("radio.png");
  Playing(0x1234);
  EXPECT_EQ(radio_->GetArtwork(), Found("PI4660.jpg"));
  SendRds(std::nullopt);  // no RDS: the PI pass is skipped
  EXPECT_EQ(radio_->GetArtwork(), Found("8750.gif"));
  Receive(1000);
  EXPECT_EQ(radio_->GetArtwork(), Found("radio.png"));
}

TEST_F(Artwork, NamesMatchExactlyAndFoldersAreNoPictures) {
  Put("Radio.gif");
  Put("pi4660.jpg");
  fs::create_directories(Folder() + "radio.jpg");
  Playing(0x1234);
  EXPECT_EQ(radio_->GetArtwork(), "");
}

TEST_F(Artwork, AFolderThatCannotBeSearchedFindsNothing) {
  // The "folder" is an ordinary file, so every test fails with "not a directory".
  WriteFile(dir_->path() + "/file", "x");
  sdk_->Var("dmartpath", Variant(dir_->path() + "/file/"));
  Playing(0x1234);
  EXPECT_EQ(radio_->GetArtwork(), "");
  sdk_->Var("dmartpath", Variant(dir_->path() + "/" + std::string(5000, 'a') + "/"));
  EXPECT_EQ(radio_->GetArtwork(), "");  // a name beyond the system's limits
}

TEST_F(Artwork, AFailingFolderQueryLooksForBareNamesInTheCurrentFolder) {
  sdk_->failingVars.insert("=$dmartpath$");
  Put("radio.gif");  // under the real folder: not looked at
  WriteFile(dir_->path() + "/radio.jpg", "picture");
  Playing(0x1234);
  const fs::path previous = fs::current_path();
  fs::current_path(dir_->path());
  const std::string found = radio_->GetArtwork();
  fs::current_path(previous);
  EXPECT_EQ(found, "radio.jpg");
}

}  // namespace
