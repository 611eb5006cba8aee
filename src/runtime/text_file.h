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

#include "halvane/errors.h"

namespace halvane {

// The most each kind of file is read to: a path a user or the environment names may be a device,
// a pipe or a video, and a file past its kind's size is surely none of ours (docs/files.md).
inline constexpr size_t kListFileLimit = size_t{64} << 20;
inline constexpr size_t kNamedPresetLimit = size_t{64} << 10;
inline constexpr size_t kNamesFileLimit = size_t{1} << 20;
inline constexpr size_t kClassRegistryLimit = size_t{1} << 20;

// The whole file's bytes; nothing when it can't be read. Every file a user or the environment
// names is read by this one rule: only a regular file, only up to `limit` bytes, and never
// waiting (a pipe or a device under the name is refused without being read). `reason`, when
// given, then says why in words ("Permission denied", "not a regular file", ...).
std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit,
                                         std::string* reason = nullptr);

// The text without a leading UTF-8 byte-order mark, which an editor may have put before the
// first line.
std::string_view WithoutByteOrderMark(std::string_view text);

// Splits at CR LF, LF or CR. A terminator at the very end makes no extra empty line.
std::vector<std::string_view> SplitLines(std::string_view bytes);

// The file's lines, each decoded (DecodeFileText), without a leading UTF-8 byte-order mark;
// nothing when the file can't be read (ReadFileBytes).
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path, size_t limit,
                                                      std::string* reason = nullptr);

// A write that failed: error 76 (no folder) or 75, the path, and the system's reason in words.
class FileWriteError : public RuntimeError {
 public:
  FileWriteError(int number, const std::string& path, std::string reason)
      : RuntimeError(number, path + ": " + reason), reason_(std::move(reason)) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// Writes the lines, each followed by CR LF, to a new file beside `path`, flushes it to disk and
// renames it over `path`. A save goes nowhere that truncating `path` would not: a symbolic link
// is followed and the file it names is replaced (its temporary beside it); a file that exists
// must be a regular file this process may write, and keeps its permission bits (and, for a
// privileged writer, its owner). Raises 76 when the folder is missing and 75 when the file can't
// be written; `path` is then untouched.
void WriteTextLinesAtomically(const std::string& path, const std::vector<std::string>& lines);
void WriteBytesAtomically(const std::string& path, std::string_view bytes);
// The same with the file's bytes given as pieces written one after another.
void WritePiecesAtomically(const std::string& path, std::span<const std::string_view> pieces);
// How the temporary files of writes to a file named `fileName` begin: short whatever the name's
// length, so that any valid file name can be written. A write removes the temporaries so named
// whose writer is gone.
std::string TemporaryNamePrefix(std::string_view fileName);

// Stat-based tests with the exact (case-sensitive) name.
bool IsRegularFile(const std::string& path);
bool IsDirectory(const std::string& path);
// Creates one folder; raises 76 when its parent is missing and 75 when it can't be made.
void MakeDirectory(const std::string& path);

}  // namespace halvane

#endif
