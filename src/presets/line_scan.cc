#include "presets/line_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace halvane {
namespace {

constexpr size_t kNone = std::string_view::npos;

struct Found {
  size_t end = kNone;
  size_t comma = kNone;
  size_t second = kNone;
  unsigned high = 0;

  void Comma(size_t at) {
    if (comma == kNone)
      comma = at;
    else if (second == kNone)
      second = at;
  }
};

// Byte by byte from `i`: the whole scan without vector instructions, and the last few bytes of
// the text with them.
void ScanBytes(const char* base, size_t i, size_t size, Found& f) {
  for (; i < size; ++i) {
    const char c = base[i];
    if (c == '\r' || c == '\n') {
      f.end = i;
      return;
    }
    if (c == ',') f.Comma(i);
    f.high |= static_cast<unsigned char>(c) & 0x80u;
  }
  f.end = size;
}

#if defined(__SSE2__)
// Sixteen bytes at a time while sixteen remain; returns where the byte-by-byte scan goes on, or
// nothing more to do when the line's end was found.
size_t ScanBlocks(const char* base, size_t i, size_t size, Found& f) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i comma = _mm_set1_epi8(',');
  for (; size - i >= 16; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
    const auto ends = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))));
    const unsigned inLine = ends != 0 ? (ends & (0u - ends)) - 1 : 0xFFFFu;
    auto commas = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, comma))) & inLine;
    f.high |= static_cast<unsigned>(_mm_movemask_epi8(v)) & inLine;
    for (; commas != 0 && f.second == kNone; commas &= commas - 1)
      f.Comma(i + static_cast<size_t>(__builtin_ctz(commas)));
    if (ends != 0) {
      f.end = i + static_cast<size_t>(__builtin_ctz(ends));
      return size;
    }
  }
  return i;
}
#endif

}  // namespace

ScannedLine ScanLine(std::string_view text, size_t start) {
  const char* const base = text.data();
  const size_t size = text.size();
  Found f;
  size_t i = start;
#if defined(__SSE2__)
  i = ScanBlocks(base, i, size, f);
#endif
  if (f.end == kNone) ScanBytes(base, i, size, f);
  size_t next = f.end;
  if (next < size)
    next += (base[next] == '\r' && next + 1 < size && base[next + 1] == '\n') ? 2 : 1;
  return ScannedLine{f.end, next, f.comma, f.second == kNone ? f.end : f.second, f.high == 0};
}

}  // namespace halvane
