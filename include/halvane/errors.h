// Run-time errors with numbers: the one way failures travel from the plug-in to its caller.
#ifndef HALVANE_ERRORS_H
#define HALVANE_ERRORS_H

#include <exception>
#include <stdexcept>
#include <string>

#include "halvane/export.h"

namespace halvane {

// The numbers callers see. They keep the meanings hosts of automation components know.
enum ErrorNumber : int {
  kInvalidCall = 5,            // invalid procedure call or argument
  kOverflow = 6,               // a value does not fit its integer type
  kSubscriptRange = 9,         // an index outside a list
  kTypeMismatch = 13,          // text that is not a number, a value of the wrong kind
  kBadFileName = 52,           // a file name that may not be used
  kFileNotFound = 53,          // a file that is not there
  kInputPastEnd = 62,          // reading past the end of a file
  kPathFileAccess = 75,        // a file or folder that can't be created or opened
  kPathNotFound = 76,          // a folder that is not there
  kCantCreateObject = 429,     // no class registered under that name
  kNoObject = 91,              // a call on an object reference that holds nothing
  kNoMember = 438,             // the object has no member of that name
  kArgumentNotOptional = 449,  // a call without an argument it needs
};

// The text that goes with an error number.
HALVANE_API std::string ErrorDescription(int number);

class HALVANE_API RuntimeError : public std::runtime_error {
 public:
  explicit RuntimeError(int number, const std::string& detail = {});
  int number() const noexcept { return number_; }

 private:
  int number_;
};

[[noreturn]] HALVANE_API void Raise(int number, const std::string& detail = {});

// Runs one statement of a procedure that skips failing steps: a run-time error (or any other
// exception thrown by host or driver code) is swallowed and the procedure goes on with its next
// statement. Returns whether the statement completed.
template <class Statement>
bool IgnoreErrors(Statement&& statement) noexcept {
  try {
    statement();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace halvane

#endif
