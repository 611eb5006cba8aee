// One screen line made of fields that give way in a fixed order when the line is too narrow:
// each field has a priority (0 first), may have a shorter form, and may be cut with an ellipsis;
// a field that fits in none of these forms is left out. Fields never touch: two blanks at least.
#ifndef HALVANE_HOST_FIELD_LINE_H
#define HALVANE_HOST_FIELD_LINE_H

#include <string>
#include <vector>

namespace host {

struct Field {
  Field(std::string t, int p = 0, bool r = false, bool e = false, std::string b = {})
      : text(std::move(t)), priority(p), right(r), elastic(e), brief(std::move(b)) {}
  std::string text;
  int priority = 0;
  bool right = false;    // right-aligned, after the left-aligned fields
  bool elastic = false;  // may be cut with an ellipsis (to no fewer than 4 characters)
  std::string brief;     // a shorter form, tried before cutting or leaving out; "" for none
};

// The fields laid out in exactly `width` characters. Empty fields are skipped.
std::string LayFields(const std::vector<Field>& fields, int width, bool ascii);

}  // namespace host

#endif
