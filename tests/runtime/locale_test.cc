#include "runtime/locale.h"

#include <gtest/gtest.h>

#include <utility>

#include "runtime/lcid_table.h"

namespace {

using namespace halvane;

TEST(Locale, WindowsIdentifiersFromLocaleNames) {
  const std::pair<const char*, int32_t> cases[] = {
      {"en_US.UTF-8", 1033},
      {"en_GB", 2057},
      {"de_DE.UTF-8@euro", 1031},
      {"fr_FR.UTF-8", 1036},
      {"en_IN", 16393},
      {"en_ZA.UTF-8", 7177},
      {"en_SG", 18441},
      {"en_PH", 13321},
      {"es_ES", 3082},
      {"zh_TW", 1028},
      {"sr_RS@latin", 9242},
      {"sr_RS.UTF-8", 10266},
      {"ca_ES@valencia", 2051},
      {"tt_RU@iqtelif", 1092},  // a modifier without a row of its own
      {"C", 127},
      {"POSIX", 127},
      {"C.UTF-8", 127},
      {"", 127},
      {"xx_YY", 4096},
      {"en_DK.UTF-8", 4096},
      {"en", 4096},
      {"de", 4096},
  };
  for (const auto& [name, lcid] : cases) EXPECT_EQ(LcidOfLocaleName(name), lcid) << name;
  // Only en_US is 1033, and the table is sorted for its search.
  const auto table = LcidTable();
  for (size_t i = 0; i < table.size(); ++i) {
    if (i > 0) {
      EXPECT_LT(table[i - 1].name, table[i].name);
    }
    if (table[i].name != "en_US") {
      EXPECT_NE(table[i].lcid, 1033) << table[i].name;
    }
  }
}

TEST(Locale, SeparatorsOfKnownLocalesWhetherOrNotInstalled) {
  EXPECT_EQ(NumberFormatOfLocaleName("C").decimal, ".");
  EXPECT_EQ(NumberFormatOfLocaleName("de_DE.UTF-8").decimal, ",");
  EXPECT_EQ(NumberFormatOfLocaleName("de_DE.UTF-8").grouping, ".");
  EXPECT_EQ(NumberFormatOfLocaleName("en_US.UTF-8").decimal, ".");
}

}  // namespace
