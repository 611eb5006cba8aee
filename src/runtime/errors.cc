#include "halvane/errors.h"

namespace halvane {

std::string ErrorDescription(int number) {
  switch (number) {
    case kInvalidCall:
      return "Invalid procedure call or argument";
    case kOverflow:
      return "Overflow";
    case kSubscriptRange:
      return "Subscript out of range";
    case kTypeMismatch:
      return "Type mismatch";
    case kBadFileName:
      return "Bad file name or number";
    case kFileNotFound:
      return "File not found";
    case kInputPastEnd:
      return "Input past end of file";
    case kPathFileAccess:
      return "Path/File access error";
    case kPathNotFound:
      return "Path not found";
    case kCantCreateObject:
      return "Can't create object";
    case kNoObject:
      return "Object variable not set";
    case kArgumentNotOptional:
      return "Argument not optional";
    case kNoMember:
      return "Object doesn't support this property or method";
    default:
      return "Application-defined or object-defined error";
  }
}

RuntimeError::RuntimeError(int number, const std::string& detail)
    : std::runtime_error(detail.empty() ? ErrorDescription(number)
                                        : ErrorDescription(number) + ": " + detail),
      number_(number) {}

void Raise(int number, const std::string& detail) { throw RuntimeError(number, detail); }

}  // namespace halvane
