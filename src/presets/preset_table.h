// The presets as one block of text: each preset is its frequency text, a comma and its name, side
// by side somewhere in the block, with the frequency's leading number beside it. The table owns
// that text and its format: it reads a list file into the block and writes the block out as a
// list file. A load takes the file's bytes as they are, since each plain ASCII line already has a
// preset's shape; an edit writes the preset's new line, with CR LF, at the block's end. Slot 0
// holds no preset.
#ifndef HALVANE_PRESETS_PRESET_TABLE_H
#define HALVANE_PRESETS_PRESET_TABLE_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace halvane {

class PresetTable {
 public:
  // Slots, slot 0 included; 0 before the first Reset.
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  std::string_view Freq(size_t i) const { return Text(i, entries_[i].freqLength); }
  std::string_view Name(size_t i) const {
    const Entry& e = entries_[i];
    return {text_.data() + e.offset + e.freqLength + 1, e.nameLength};
  }
  double Value(size_t i) const { return values_[i]; }
  // The bytes of text the table holds, leftovers of edits included.
  size_t TextBytes() const { return text_.size(); }
  // The heap the table holds on to, reserved room included.
  size_t HeapBytes() const {
    return text_.capacity() + entries_.capacity() * sizeof(Entry) +
           values_.capacity() * sizeof(double);
  }

  // Slot 0 alone, with no text. Keeps the memory for the next load.
  void Reset();

  // Adds a preset after the last; its value is the frequency's leading number. Raises 6 when a
  // field is 2 GiB or longer.
  void Append(std::string_view freq, std::string_view name);
  // Edits of presets 1..size()-1; error 9 for any other slot.
  void SetName(size_t i, std::string_view name);
  void Erase(size_t i);
  void Swap(size_t a, size_t b);

  // Lines among the presets that hold none (blank lines, notes): kept with the number of the
  // preset they followed (0: the header), line ends and all, to be written back there.
  struct KeptLines {
    size_t after;
    std::string text;  // one or more whole lines, as the file has them (CR LF for a lone CR)
  };
  // What a list file holds besides its presets.
  struct FileRest {
    std::string header;           // the first line (whatever it holds), decoded
    std::vector<KeptLines> kept;  // in file order
    std::string beyond;           // the lines past the last preset that fits, as the file has them
  };
  // Loads a list file's bytes into the table, which must be just reset: the first line is the
  // header, every later line with a comma a preset "<frequency text>,<name>" (a further comma
  // ends the name), up to `capacity` presets. A line that is not plain ASCII is decoded first.
  // Lines end at CR LF, LF or CR; a byte-order mark is skipped. A preset that can't be added is
  // left out and the load goes on. Lines without a comma are kept in `kept`, a lone CR at the end
  // of one made CR LF.
  FileRest Load(std::string file, size_t capacity);

  // The list file of the table: the header line, then one line per preset, every line ended by
  // CR LF, then `beyond` exactly as it is. It comes as pieces to be written one after another,
  // without a copy of the table's text where its lines already stand as the file has them (a
  // list loaded and not edited since, or long parts of one). Kept lines stand after the preset
  // they followed when loaded, or after the last preset when there are fewer now.
  class File {
   public:
    // The table and `beyond` must outlive the pieces and stay unchanged while they are used.
    File(const PresetTable& presets, std::string header, std::string_view beyond = {},
         const std::vector<KeptLines>& kept = {});
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    const std::vector<std::string_view>& pieces() const { return pieces_; }

   private:
    std::string header_;
    std::string staged_;
    std::vector<std::string_view> pieces_;
  };

 private:
  struct Entry {
    size_t offset;  // of the frequency text; the comma and the name follow it
    uint32_t freqLength;
    uint32_t nameLength : 31;
    uint32_t endedByCrLf : 1;
  };
  void CheckPreset(size_t i) const;
  // A field's length as an entry holds it; error 6 from 2 GiB on.
  static uint32_t FieldLength(size_t length) {
    if (length > kLongestField) FieldTooLong();
    return static_cast<uint32_t>(length);
  }
  [[noreturn]] static void FieldTooLong();
  static constexpr size_t kLongestField = (size_t{1} << 31) - 1;
  static size_t LineLength(const Entry& e) { return size_t{e.freqLength} + 1 + e.nameLength; }
  // The text an entry takes: its line and the CR LF after it, when there is one.
  static size_t TextLength(const Entry& e) { return LineLength(e) + (e.endedByCrLf ? 2 : 0); }
  // Every entry lies inside text_, slot 0 (empty, at 0) included, so no bounds are checked.
  std::string_view Text(size_t i, size_t length) const {
    return {text_.data() + entries_[i].offset, length};
  }
  std::string_view Block() const { return text_; }
  // Preset i as one list-file line without its end: "<frequency text>,<name>".
  std::string_view Line(size_t i) const { return Text(i, LineLength(entries_[i])); }
  // Room for one more slot in both arrays, so that adding one can't leave them out of step.
  void MakeRoom() {
    if (entries_.size() == entries_.capacity() || values_.size() == values_.capacity()) Grow();
  }
  void Grow();
  // Writes "<freq>,<name>" and CR LF at the block's end and returns its entry.
  Entry Place(std::string_view freq, std::string_view name);
  // Reads the line of a loaded file's `fileSize` bytes that starts at `at` and adds its preset,
  // if it is one, or keeps it in `kept`; returns where the next line starts.
  size_t LoadLine(size_t at, size_t fileSize, std::vector<KeptLines>& kept);
  // Drops the text no preset uses any more once it outweighs the text in use.
  void CompactWhenWasteful();

  std::string text_;
  // Slot for slot: where each preset stands in text_, and its frequency's leading number (apart,
  // so that a search through the numbers reads nothing else).
  std::vector<Entry> entries_;
  std::vector<double> values_;
  size_t used_ = 0;  // bytes of text_ that the presets take (TextLength)
};

}  // namespace halvane

#endif
