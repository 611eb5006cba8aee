// The files the benchmarks load and save, and the floors of reading and writing them: the least
// any implementation must do to get a file's lines into memory, or to replace a file so that a
// crash leaves the old one or the new one.
#ifndef HALVANE_BENCH_PRESET_FILES_H
#define HALVANE_BENCH_PRESET_FILES_H

#include <string>
#include <string_view>
#include <vector>

namespace bench {

// The most presets a store can hold: preset numbers are 16-bit.
inline constexpr int kFullStore = 32767;

// A list file of `count` presets, header "8750|0|0", preset i on an FM channel that is never
// 87.5 MHz (the tuned frequency), named "Preset <i>"; lines end in CR LF.
std::string PresetListBytes(int count);
// The same with every name in Windows-1252 ("Preset <i> caf\xe9"): each line is decoded on load.
std::string PresetListBytes1252(int count);
// The sum of the frequency texts' and names' lengths: the text the store holds.
size_t PresetTextBytes(int count);

// An "RDS.ini" that renames every RDS programme type, with a comment line.
std::string RdsNamesBytes();

void WriteFileOrThrow(const std::string& path, std::string_view bytes);

// Floor of a read: open, size, one read into a buffer of that size, close.
std::string ReadWholeFile(const std::string& path);
// Floor of a split at CR LF, LF or CR: views into the bytes, nothing copied.
std::vector<std::string_view> SplitLinesPlain(std::string_view bytes);
// Floor of a crash-safe replace: write the bytes to a new file beside `path`, flush it to disk,
// rename it over `path`.
void ReplaceFile(const std::string& path, std::string_view bytes);
// The same, then the folder flushed to disk as well, so that the rename itself is durable.
void ReplaceFileDurably(const std::string& path, std::string_view bytes);

}  // namespace bench

#endif
