// Splitting a line of text into its fields at a separator, the one way every text format of the
// plug-in (command strings, list files) is cut up. There is no quoting.
#ifndef HALVANE_RUNTIME_FIELDS_H
#define HALVANE_RUNTIME_FIELDS_H

#include <string_view>
#include <vector>

namespace halvane {

// Every field, empty ones included: "" is one empty field, "a;" two. The views look into `text`.
inline std::vector<std::string_view> SplitFields(std::string_view text, char separator) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    const size_t at = text.find(separator, start);
    if (at == std::string_view::npos) {
      fields.push_back(text.substr(start));
      return fields;
    }
    fields.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

}  // namespace halvane

#endif
