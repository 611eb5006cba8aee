#include "runtime/locale.h"

#include <gtest/gtest.h>

namespace {

using namespace halvane;

TEST(Locale, WindowsIdentifiersFromLocaleNames) {
  EXPECT_EQ(LcidOfLocaleName("en_US.UTF-8"), 1033);
  EXPECT_EQ(LcidOfLocaleName("en_GB"), 2057);
  EXPECT_EQ(LcidOfLocaleName("de_DE.UTF-8@euro"), 1031);
  EXPECT_EQ(LcidOfLocaleName("fr_FR.UTF-8"), 1036);
  EXPECT_EQ(LcidOfLocaleName("C"), 127);
  EXPECT_EQ(LcidOfLocaleName("POSIX"), 127);
  EXPECT_EQ(LcidOfLocaleName("C.UTF-8"), 127);
  EXPECT_EQ(LcidOfLocaleName(""), 127);
  EXPECT_EQ(LcidOfLocaleName("xx_YY"), 127);
}

TEST(Locale, SeparatorsOfKnownLocalesWhetherOrNotInstalled) {
  EXPECT_EQ(NumberFormatOfLocaleName("C").decimal, ".");
  EXPECT_EQ(NumberFormatOfLocaleName("de_DE.UTF-8").decimal, ",");
  EXPECT_EQ(NumberFormatOfLocaleName("de_DE.UTF-8").grouping, ".");
  EXPECT_EQ(NumberFormatOfLocaleName("en_US.UTF-8").decimal, ".");
}

}  // namespace
