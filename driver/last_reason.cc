#include "last_reason.h"

#include <cstdint>
#include <cstring>

namespace halvane::driver {
namespace {

// One tuner per process, called from one thread: one reason per process.
std::string& Reason() {
  static std::string reason;
  return reason;
}

// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none.
size_t SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i)
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

// A reason quotes what it found (a file's name or line), which may be in any encoding: the
// host gets UTF-8 all the same, each byte that starts no character becoming U+FFFD.
void SetLastReason(std::string text) {
  size_t at = 0;
  while (at < text.size() && SequenceLength(text, at) != 0) at += SequenceLength(text, at);
  if (at < text.size()) {
    std::string valid = text.substr(0, at);
    while (at < text.size()) {
      const size_t length = SequenceLength(text, at);
      if (length == 0) {
        valid += "\xEF\xBF\xBD";
        ++at;
      } else {
        valid.append(text, at, length);
        at += length;
      }
    }
    text = std::move(valid);
  }
  Reason() = std::move(text);
}

void ClearLastReason() { Reason().clear(); }

std::string_view LastReason() { return Reason(); }

int32_t CopyLastReason(char* buffer, int32_t size) { return CopyText(Reason(), buffer, size); }

int32_t CopyText(std::string_view text, char* buffer, int32_t size) {
  if (buffer != nullptr && size >= 1) {
    size_t n = text.size() < static_cast<size_t>(size) - 1 ? text.size() : size - 1;
    // Step back over continuation bytes so the cut never splits a character.
    if (n < text.size()) {
      while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return text.size() > INT32_MAX ? INT32_MAX : static_cast<int32_t>(text.size());
}

}  // namespace halvane::driver
