// The store's table of presets held as one text, the line scan that loads it, and the list
// file made from it: each checked against the plain way of doing the same.
#include "presets/preset_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "error_of.h"
#include "halvane/errors.h"
#include "presets/line_scan.h"
#include "runtime/numbers.h"

namespace {

using halvane::PresetTable;
using halvane::ScanLine;
using halvane::ScannedLine;
using testing_support::ErrorOf;
constexpr size_t kNone = std::string::npos;

// The line at `start` read one byte at a time, as a list file's lines are defined.
ScannedLine PlainScan(const std::string& text, size_t start) {
  ScannedLine s{text.size(), text.size(), kNone, kNone, true};
  for (size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      s.end = i;
      s.next = i + (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1);
      break;
    }
    if (c == ',' && s.comma == kNone)
      s.comma = i;
    else if (c == ',' && s.nameEnd == kNone)
      s.nameEnd = i;
    if (static_cast<unsigned char>(c) >= 0x80) s.ascii = false;
  }
  if (s.nameEnd == kNone) s.nameEnd = s.end;
  return s;
}

void ExpectSameScan(const std::string& text, size_t start) {
  const ScannedLine want = PlainScan(text, start);
  const ScannedLine got = ScanLine(text, start);
  SCOPED_TRACE(testing::PrintToString(text) + " from " + std::to_string(start));
  EXPECT_EQ(got.end, want.end);
  EXPECT_EQ(got.next, want.next);
  EXPECT_EQ(got.comma, want.comma);
  EXPECT_EQ(got.nameEnd, want.nameEnd);
  EXPECT_EQ(got.ascii, want.ascii);
}

TEST(LineScan, FindsEndsCommasAndOtherBytesWhereverTheyFallInABlockOfSixteen) {
  const std::string a15(15, 'a'), a16(16, 'a'), a17(17, 'a');
  for (const std::string& text : std::vector<std::string>{
           a15 + ",b\r\nnext", a16 + ",b\nnext", a17 + "\r", a15 + "\r\n", a16 + "\r\n" + a16,
           std::string(40, ',') + "\n", "x,\xe9," + a16 + "\xc3\xa9\r\n", a15 + "\n\xe9",
           std::string("\n"), std::string("\r\r\n"), "no end at all, " + a17,
           "," + a16 + a16 + ",\r\n"}) {
    for (size_t start = 0; start < text.size(); ++start) ExpectSameScan(text, start);
  }
  // A byte of 0x80 and above after the line's end does not make the line other than ASCII.
  EXPECT_TRUE(ScanLine("8750,One\r\n\xe9", 0).ascii);
}

TEST(LineScan, AgreesWithTheByteByByteReadingOnRandomText) {
  std::mt19937 random(20261207);
  const std::string alphabet = "ab,,\r\n\xe9 7";
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 70 + 1, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    for (size_t start = 0; start < text.size(); start = PlainScan(text, start).next) {
      ExpectSameScan(text, start);
      if (testing::Test::HasFailure()) return;
    }
  }
}

// A table loaded from a list file's text.
PresetTable Loaded(std::string text, size_t capacity = 32767) {
  PresetTable t;
  t.Reset();
  t.Load(std::move(text), capacity);
  return t;
}

std::vector<std::string> Lines(const PresetTable& t) {
  std::vector<std::string> lines;
  for (size_t i = 1; i < t.size(); ++i)
    lines.push_back(std::string(t.Freq(i)) + "|" + std::string(t.Name(i)));
  return lines;
}

// What the list file must hold: the header, then each preset's line, all ended by CR LF.
std::string PlainFile(const PresetTable& t) {
  std::string bytes = "8750|1|2\r\n";
  for (size_t i = 1; i < t.size(); ++i)
    bytes += std::string(t.Freq(i)) + "," + std::string(t.Name(i)) + "\r\n";
  return bytes;
}

TEST(PresetTable, LoadedLinesAreReadInPlaceAndEditsChangeOnlyTheirPreset) {
  PresetTable t = Loaded("8750\r\n8770,One\r\n 0999 ,AM,dropped\nno comma\r9000,\r\n");
  EXPECT_EQ(Lines(t), (std::vector<std::string>{"8770|One", " 0999 |AM", "9000|"}));
  EXPECT_EQ(t.Value(2), 999);

  t.SetName(2, "Talk");
  t.Append("10390", "Jazz");
  t.Swap(1, 3);
  t.Erase(2);
  EXPECT_EQ(Lines(t), (std::vector<std::string>{"9000|", "8770|One", "10390|Jazz"}));
  EXPECT_EQ(t.Value(1), 9000);
  EXPECT_EQ(t.Value(3), 10390);
  EXPECT_EQ(t.Freq(0), "");
  EXPECT_EQ(t.Name(0), "");
}

TEST(PresetTable, EditsOutsideThePresetsFailWith9AndChangeNothing) {
  PresetTable t = Loaded("0\r\n8770,One\r\n");
  EXPECT_EQ(ErrorOf([&] { t.SetName(0, "x"); }), halvane::kSubscriptRange);
  EXPECT_EQ(ErrorOf([&] { t.SetName(2, "x"); }), halvane::kSubscriptRange);
  EXPECT_EQ(ErrorOf([&] { t.Erase(0); }), halvane::kSubscriptRange);
  EXPECT_EQ(ErrorOf([&] { t.Erase(2); }), halvane::kSubscriptRange);
  EXPECT_EQ(ErrorOf([&] { t.Swap(1, 2); }), halvane::kSubscriptRange);
  EXPECT_EQ(ErrorOf([&] { t.Swap(0, 1); }), halvane::kSubscriptRange);
  EXPECT_EQ(Lines(t), std::vector<std::string>{"8770|One"});
}

TEST(PresetTable, ValuesAreTheFrequencyTextsLeadingNumbers) {
  PresetTable t;
  t.Reset();
  for (const char* freq : {"8750", "0877", "123456789", "1234567890", " 87.5x", "-12", "", "abc",
                           "99999999999999999999"}) {
    t.Append(freq, "n");
    EXPECT_EQ(t.Value(t.size() - 1), halvane::LeadingNumber(freq)) << freq;
  }
}

TEST(PresetTable, RenamingOverAndOverKeepsTheTextItHoldsBounded) {
  PresetTable t;
  t.Reset();
  for (int i = 0; i < 100; ++i) t.Append(std::to_string(8770 + i), "Station");
  for (int round = 0; round < 300; ++round)
    for (size_t i = 1; i <= 100; ++i)
      t.SetName(i, std::string(100, static_cast<char>('a' + round % 26)) + std::to_string(i));
  size_t live = 0;
  for (size_t i = 1; i < t.size(); ++i) live += t.Freq(i).size() + 1 + t.Name(i).size();
  EXPECT_LT(t.TextBytes(), 2 * live + 64 * 1024 + 1024);
  EXPECT_EQ(t.Freq(57), "8826");
  EXPECT_EQ(t.Name(57), std::string(100, static_cast<char>('a' + 299 % 26)) + "57");
}

// The list file a save writes from the table, its pieces joined.
std::string FileBytes(const PresetTable& t, std::string_view beyond = {}) {
  const PresetTable::File file(t, "8750|1|2", beyond);
  std::string bytes;
  for (std::string_view piece : file.pieces()) bytes += piece;
  return bytes;
}

// A line that is not plain ASCII is decoded (UTF-8, else Windows-1252) and split at the same
// commas; the header is decoded too; what does not fit is kept as the file has it.
TEST(PresetTable, LoadDecodesOtherLinesAndKeepsWhatDoesNotFit) {
  PresetTable t;
  t.Reset();
  const PresetTable::FileRest rest = t.Load(
      "\xEF\xBB\xBF"
      "8750|\xe9\r\n9000,Caf\xe9,x\r\n9100,Caf\xc3\xa9\r\n9200,B\n9300,C\n",
      3);
  EXPECT_EQ(rest.header, "8750|\xc3\xa9");
  EXPECT_EQ(Lines(t), (std::vector<std::string>{"9000|Caf\xc3\xa9", "9100|Caf\xc3\xa9", "9200|B"}));
  EXPECT_EQ(t.Value(1), 9000);
  EXPECT_EQ(rest.beyond, "9300,C\n");
  EXPECT_EQ(FileBytes(t, rest.beyond),
            "8750|1|2\r\n9000,Caf\xc3\xa9\r\n9100,Caf\xc3\xa9\r\n9200,B\r\n9300,C\n");
}

TEST(PresetTableFile, AListLoadedAndEditedIsWrittenLineForLine) {
  // Unedited: the preset lines go out as the file held them.
  const std::string file = "8750|1|2\r\n8770,One\r\n8790,Two\r\n8810,Three\r\n";
  PresetTable t = Loaded(file);
  EXPECT_EQ(FileBytes(t), file);

  // Other line ends, a third field, a line that is no preset: each breaks a run of copied lines.
  t = Loaded("0\n8770,One\n8790,Two,x\r\nplain\r\n8810,Three\r8830,Four");
  EXPECT_EQ(FileBytes(t), "8750|1|2\r\n8770,One\r\n8790,Two\r\n8810,Three\r\n8830,Four\r\n");

  // Random edits of a loaded list: the file always holds the presets as they now stand.
  std::string big = "0\r\n";
  for (int i = 1; i <= 2000; ++i)
    big += std::to_string(8770 + i) + ",P" + std::to_string(i) + "\r\n";
  t = Loaded(big);
  ASSERT_EQ(FileBytes(t), "8750|1|2\r\n" + big.substr(3));
  std::mt19937 random(7);
  for (int step = 0; step < 400; ++step) {
    const size_t n = t.size() - 1;
    switch (random() % 4) {
      case 0:
        t.Append(std::to_string(random() % 20000), "Added " + std::to_string(step));
        break;
      case 1:
        t.SetName(random() % n + 1, "Renamed " + std::to_string(step));
        break;
      case 2:
        if (n > 1) t.Erase(random() % n + 1);
        break;
      default:
        t.Swap(random() % n + 1, random() % n + 1);
    }
    ASSERT_EQ(FileBytes(t), PlainFile(t)) << "after step " << step;
  }
}

}  // namespace
