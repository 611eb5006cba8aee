#include "band/capture_file.h"

#include <gtest/gtest.h>

namespace halvane::driver::band {
namespace {

TEST(CaptureFile, ReadsGroupsAndLostBlocks) {
  const auto parsed = ParseCaptureFile(
      "# recorded on 95.8\n"
      "\n"
      "5C11 0408 E0CD 4349\r\n"
      "5c11 ---- e0cd 5459\r\n"
      "  ---- 0409\t---- ----  ");
  ASSERT_TRUE(parsed.ok()) << parsed.error;
  const std::vector<CapturedGroup>& groups = *parsed.value;
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0], (CapturedGroup{0x5C11, 0x0408, 0xE0CD, 0x4349}));
  EXPECT_EQ(groups[1], (CapturedGroup{0x5C11, std::nullopt, 0xE0CD, 0x5459}));
  EXPECT_EQ(groups[2], (CapturedGroup{std::nullopt, 0x0409, std::nullopt, std::nullopt}));
}

TEST(CaptureFile, RejectsMalformedLines) {
  for (const char* text :
       {"5C11 0408 E0CD\n", "5C11 0408 E0CD 4349 0000\n", "5C11 0408 E0CD 43\n",
        "5C11 0408 E0CD 0x43\n", "5C11 0408 E0CD 434G\n", "5C11 --- E0CD 4349\n"}) {
    const auto parsed = ParseCaptureFile(std::string("# header\n") + text);
    EXPECT_FALSE(parsed.ok()) << text;
    EXPECT_EQ(parsed.line, 2) << text;
  }
}

TEST(CaptureFile, NeedsAtLeastOneGroup) {
  EXPECT_FALSE(ParseCaptureFile("").ok());
  EXPECT_FALSE(ParseCaptureFile("# only a comment\n\n").ok());
}

}  // namespace
}  // namespace halvane::driver::band
