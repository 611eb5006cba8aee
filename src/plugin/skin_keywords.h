// The skin's vocabulary: the label, indicator and slider keywords the host asks about on every
// repaint, each with the function that answers it. The tables are plain data so the reference
// page for skin authors can be checked against them.
#ifndef HALVANE_PLUGIN_SKIN_KEYWORDS_H
#define HALVANE_PLUGIN_SKIN_KEYWORDS_H

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/ascii.h"

namespace halvane {

class DMRadio;

namespace skin {

struct TextKeyword {
  std::string_view keyword;  // lower case
  std::string (*text)(DMRadio&);
};

struct SliderKeyword {
  std::string_view keyword;  // lower case
  int32_t (*value)(DMRadio&);
};

// Labels answered whether or not the radio is active.
std::span<const TextKeyword> Labels();
// Labels answered only while the radio is active; answering one empties the caller's keyword.
std::span<const TextKeyword> ActiveLabels();
// Indicators answered whether or not the radio is active ("True"/"False" or a picture path).
std::span<const TextKeyword> Indicators();
// Indicators answered only while the radio is active.
std::span<const TextKeyword> ActiveIndicators();
// Sliders; any other keyword is -1.
std::span<const SliderKeyword> Sliders();

// A keyword as the skin sent it, lower-cased into a fixed buffer so a repaint allocates nothing.
// Text longer than every keyword can match none and reads as "", which is no keyword either.
class LoweredKeyword {
 public:
  static constexpr size_t kCapacity = 16;

  explicit LoweredKeyword(std::string_view text) {
    if (text.size() > kCapacity) return;
    for (size_t i = 0; i < text.size(); ++i) buffer_[i] = AsciiLower(text[i]);
    size_ = text.size();
  }
  std::string_view view() const { return {buffer_.data(), size_}; }

 private:
  std::array<char, kCapacity> buffer_{};
  size_t size_ = 0;
};

template <class Entry>
const Entry* Find(std::span<const Entry> table, std::string_view lowered) {
  if (lowered.empty()) return nullptr;
  for (const Entry& entry : table)
    if (entry.keyword == lowered) return &entry;
  return nullptr;
}

}  // namespace skin
}  // namespace halvane

#endif
