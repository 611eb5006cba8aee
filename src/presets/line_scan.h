// One pass over a list file's line: where it ends, where its first two commas stand and whether
// it is plain ASCII, found sixteen bytes at a time where the processor allows.
#ifndef HALVANE_PRESETS_LINE_SCAN_H
#define HALVANE_PRESETS_LINE_SCAN_H

#include <cstddef>
#include <string_view>

namespace halvane {

struct ScannedLine {
  size_t end;      // the line's terminator, or the text's end
  size_t next;     // where the next line starts (the text's end after the last line)
  size_t comma;    // the first comma, npos when the line has none
  size_t nameEnd;  // the second comma, or `end` when there is none
  bool ascii;      // no byte of the line is 0x80 or above
};

// The line that starts at `start`, which must be inside `text`. Lines end at CR LF, LF or CR.
ScannedLine ScanLine(std::string_view text, size_t start);

}  // namespace halvane

#endif
