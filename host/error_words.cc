#include "error_words.h"

#include "halvane/errors.h"

namespace host {

std::string ErrorWords(int number) {
  switch (number) {
    case halvane::kInvalidCall:
      return "the radio can't do that now";
    case halvane::kOverflow:
      return "that number is too large or too small";
    case halvane::kSubscriptRange:
      return "there is no such preset or entry";
    case halvane::kTypeMismatch:
      return "that is not a number";
    case halvane::kBadFileName:
      return "that name can't be used for a file";
    case halvane::kFileNotFound:
      return "there is no such file";
    case halvane::kInputPastEnd:
      return "a file ended too early";
    case halvane::kPathFileAccess:
      return "a file or folder can't be opened or written";
    case halvane::kPathNotFound:
      return "a folder is missing";
    case halvane::kCantCreateObject:
      return "the radio plug-in is not installed";
    case halvane::kNoObject:
      return "the radio is not running";
    case halvane::kNoMember:
      return "the host lacks something the radio asked for";
    case halvane::kArgumentNotOptional:
      return "something the radio needs was left out";
    default:
      return "something unexpected went wrong";
  }
}

std::string ErrorMessage(int number, std::string_view what) {
  std::string words = ErrorWords(number);
  std::string text;
  if (what.empty()) {
    if (words[0] >= 'a' && words[0] <= 'z') words[0] = static_cast<char>(words[0] - 'a' + 'A');
    text = words;
  } else {
    text = std::string(what) + ": " + words;
  }
  return text + " (error " + std::to_string(number) + ")";
}

}  // namespace host
