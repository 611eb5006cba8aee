#include "field_line.h"

#include <algorithm>
#include <numeric>

#include "screen_text.h"

namespace host {
namespace {

constexpr int kGap = 2;
constexpr int kShortestCut = 4;

}  // namespace

std::string LayFields(const std::vector<Field>& fields, int width, bool ascii) {
  std::vector<size_t> order(fields.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return fields[a].priority < fields[b].priority; });

  // The form each field takes, by its place in `fields`; "" for a field left out.
  std::vector<std::string> shown(fields.size());
  int used = 0;
  bool dropped = false;  // once a field is left out, every less important one goes too
  for (size_t i : order) {
    const Field& f = fields[i];
    if (f.text.empty() || dropped) continue;
    const int room = width - used - (used > 0 ? kGap : 0);
    dropped = true;
    if (room <= 0) continue;
    std::string form;
    const int briefWidth = CharacterCount(f.brief);
    if (CharacterCount(f.text) <= room) {
      form = f.text;
    } else if (f.elastic && room >= std::max(kShortestCut, briefWidth + kShortestCut)) {
      form = Ellipsize(f.text, room, ascii);  // more of the text than the brief form shows
    } else if (!f.brief.empty() && briefWidth <= room) {
      form = f.brief;
    } else {
      continue;
    }
    dropped = false;
    used += CharacterCount(form) + (used > 0 ? kGap : 0);
    shown[i] = std::move(form);
  }

  std::string left, right;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (shown[i].empty()) continue;
    std::string& side = fields[i].right ? right : left;
    if (!side.empty()) side += std::string(kGap, ' ');
    side += shown[i];
  }
  const int middle = width - CharacterCount(left) - CharacterCount(right);
  return left + std::string(static_cast<size_t>(std::max(middle, 0)), ' ') + right;
}

}  // namespace host
