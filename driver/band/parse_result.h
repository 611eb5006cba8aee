// The outcome of reading a text file: a value, or what was wrong and on which line.
#ifndef HALVANE_DRIVER_BAND_PARSE_RESULT_H
#define HALVANE_DRIVER_BAND_PARSE_RESULT_H

#include <optional>
#include <string>
#include <utility>

namespace halvane::driver::band {

template <class T>
struct ParseResult {
  std::optional<T> value;
  std::string error;  // empty when value is set
  int line = 0;       // 1-based line of the error, 0 when it concerns the whole file

  static ParseResult Ok(T v) { return {std::move(v), {}, 0}; }
  static ParseResult Fail(std::string message, int atLine) {
    return {std::nullopt, std::move(message), atLine};
  }
  bool ok() const { return value.has_value(); }
};

}  // namespace halvane::driver::band

#endif
