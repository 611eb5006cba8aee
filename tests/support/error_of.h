// The run-time error number a statement raises, 0 when it completes.
#ifndef HALVANE_TESTS_ERROR_OF_H
#define HALVANE_TESTS_ERROR_OF_H

#include <functional>

#include "halvane/errors.h"

namespace testing_support {

inline int ErrorOf(const std::function<void()>& statement) {
  try {
    statement();
  } catch (const halvane::RuntimeError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace testing_support

#endif
