// Windows-1252, the code page of lists carried over from older installations and of RDS bytes.
#ifndef HALVANE_RUNTIME_CODEPAGE_H
#define HALVANE_RUNTIME_CODEPAGE_H

#include <string>
#include <string_view>

namespace halvane {

// One character per byte, as UTF-8. Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which name no
// character, become the control characters of the same value, as the system conversion does.
std::string Cp1252ToUtf8(std::string_view bytes);
void AppendCp1252Char(std::string& out, unsigned char byte);

bool IsValidUtf8(std::string_view text);

// A line from a file: kept as it is when it is valid UTF-8, otherwise read as Windows-1252.
std::string DecodeFileText(std::string_view bytes);

}  // namespace halvane

#endif
