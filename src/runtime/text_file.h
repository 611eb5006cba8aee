// Text files of the plug-in: UTF-8 (or Windows-1252 line by line), lines read up to CR LF, LF or
// CR, lines written with CR LF. Writes replace the old file in one step, so a crash leaves either
// the old file or the new one, never a part of either.
#ifndef HALVANE_RUNTIME_TEXT_FILE_H
#define HALVANE_RUNTIME_TEXT_FILE_H

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace halvane {

// The whole file's bytes; nothing when it can't be opened or read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// The text without a leading UTF-8 byte-order mark, which an editor may have put before the
// first line.
std::string_view WithoutByteOrderMark(std::string_view text);

// Splits at CR LF, LF or CR. A terminator at the very end makes no extra empty line.
std::vector<std::string_view> SplitLines(std::string_view bytes);

// The file's lines, each decoded (DecodeFileText), without a leading UTF-8 byte-order mark;
// nothing when the file can't be read.
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);

// Writes the lines, each followed by CR LF, to a new file beside `path`, flushes it to disk and
// renames it over `path`. Raises 76 when the folder is missing and 75 when the file can't be
// written; `path` is then untouched.
void WriteTextLinesAtomically(const std::string& path, const std::vector<std::string>& lines);
void WriteBytesAtomically(const std::string& path, std::string_view bytes);
// The same with the file's bytes given as pieces written one after another.
void WritePiecesAtomically(const std::string& path, std::span<const std::string_view> pieces);

// Stat-based tests with the exact (case-sensitive) name.
bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);
// Creates one folder; raises 76 when its parent is missing and 75 when it can't be made.
void MakeDirectory(const std::string& path);

}  // namespace halvane

#endif
