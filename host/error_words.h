// Plain words for the run-time error numbers the plug-in raises, for a person rather than a
// programmer. The number stays beside the words, in brackets, for bug reports.
#ifndef HALVANE_HOST_ERROR_WORDS_H
#define HALVANE_HOST_ERROR_WORDS_H

#include <string>
#include <string_view>

namespace host {

// What went wrong, in a few words without the number: "that is not a number".
std::string ErrorWords(int number);

// The line a face shows: "`what`: words (error N)", or "Words (error N)" when `what` is empty.
// `what` says what the person tried ("Can't tune").
std::string ErrorMessage(int number, std::string_view what = {});

}  // namespace host

#endif
