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

}  // namespace

void SetLastReason(std::string text) { Reason() = std::move(text); }

void ClearLastReason() { Reason().clear(); }

std::string_view LastReason() { return Reason(); }

int32_t CopyLastReason(char* buffer, int32_t size) {
  const std::string& reason = Reason();
  if (buffer != nullptr && size >= 1) {
    size_t n = reason.size() < static_cast<size_t>(size) - 1 ? reason.size() : size - 1;
    // Step back over continuation bytes so the cut never splits a character.
    if (n < reason.size()) {
      while (n > 0 && (static_cast<unsigned char>(reason[n]) & 0xC0) == 0x80) --n;
    }
    std::memcpy(buffer, reason.data(), n);
    buffer[n] = '\0';
  }
  return reason.size() > INT32_MAX ? INT32_MAX : static_cast<int32_t>(reason.size());
}

}  // namespace halvane::driver
