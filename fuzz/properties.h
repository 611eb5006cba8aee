// What every target needs to check a property: a plain way to stop on a broken one, and the
// number of lines a text has as the file readers count them (CR LF, LF or CR ends a line).
#ifndef HALVANE_FUZZ_PROPERTIES_H
#define HALVANE_FUZZ_PROPERTIES_H

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzzing {

// Reports a broken property and aborts, which libFuzzer records as a crash with its input.
[[noreturn]] inline void Fail(const std::string& what) {
  std::fprintf(stderr, "broken property: %s\n", what.c_str());
  std::fflush(stderr);
  std::abort();
}

inline int LineCount(std::string_view text) {
  int lines = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
      ++lines;
  }
  return lines;
}

}  // namespace fuzzing

#endif
