#include "error_words.h"

#include <gtest/gtest.h>

#include "halvane/errors.h"

namespace host {
namespace {

// Every number the plug-in raises has words of its own (not the fallback), no run-time jargon,
// and the message keeps the number in brackets.
TEST(ErrorWords, EveryRaisedNumberHasPlainWordsAndKeepsItsNumber) {
  const int numbers[] = {
      halvane::kInvalidCall,        halvane::kOverflow,       halvane::kSubscriptRange,
      halvane::kTypeMismatch,       halvane::kBadFileName,    halvane::kFileNotFound,
      halvane::kInputPastEnd,       halvane::kPathFileAccess, halvane::kPathNotFound,
      halvane::kCantCreateObject,   halvane::kNoObject,       halvane::kNoMember,
      halvane::kArgumentNotOptional};
  const std::string fallback = ErrorWords(12345);
  for (int n : numbers) {
    SCOPED_TRACE(n);
    const std::string words = ErrorWords(n);
    EXPECT_NE(words, fallback);
    EXPECT_NE(words, halvane::ErrorDescription(n));
    EXPECT_EQ(ErrorMessage(n), static_cast<char>(std::toupper(words[0])) + words.substr(1) +
                                   " (error " + std::to_string(n) + ")");
  }
  EXPECT_EQ(ErrorMessage(13, "Can't tune"), "Can't tune: that is not a number (error 13)");
  EXPECT_EQ(ErrorMessage(777), "Something unexpected went wrong (error 777)");
}

}  // namespace
}  // namespace host
