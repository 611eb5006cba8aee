#include "runtime/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "error_of.h"
#include "halvane/errors.h"
#include "plugin_fixture.h"
#include "runtime/codepage.h"

namespace {

using namespace halvane;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;
using Lines = std::vector<std::string>;

using testing_support::ErrorOf;

TEST(TextFile, LinesEndAtCrLfLfOrCr) {
  TempDir dir;
  WriteFile(dir / "a", "one\r\ntwo\nthree\rfour");
  EXPECT_EQ(*ReadTextLines(dir / "a"), (Lines{"one", "two", "three", "four"}));
  WriteFile(dir / "b", "x\r\n\r\ny\r\n");
  EXPECT_EQ(*ReadTextLines(dir / "b"), (Lines{"x", "", "y"}));
  WriteFile(dir / "c", "");
  EXPECT_TRUE(ReadTextLines(dir / "c")->empty());
  EXPECT_FALSE(ReadTextLines(dir / "missing").has_value());
  EXPECT_FALSE(ReadTextLines(dir.path()).has_value());  // a folder is not a file
}

TEST(TextFile, Windows1252LinesAreDecodedAndUtf8KeptAsIs) {
  TempDir dir;
  WriteFile(dir / "a", "8750,Caf\xe9 \x80\r\n9000,Caf\xc3\xa9\r\n");
  auto lines = *ReadTextLines(dir / "a");
  EXPECT_EQ(lines[0], "8750,Caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(lines[1], "9000,Caf\xc3\xa9");
  WriteFile(dir / "bom", "\xef\xbb\xbfnews=Nachrichten\r\n");
  EXPECT_EQ(*ReadTextLines(dir / "bom"), (Lines{"news=Nachrichten"}));
  EXPECT_EQ(Cp1252ToUtf8(std::string("\x00\x92\x81", 3)), std::string("\0\xe2\x80\x99\xc2\x81", 6));
}

// ASCII runs are copied whole; each other byte must come out as it does on its own.
TEST(TextFile, Windows1252TextMixingAsciiRunsAndOtherBytes) {
  std::string bytes;
  for (int i = 0; i < 512; ++i) bytes += static_cast<char>((i * 37) % 256);
  std::string expected;
  for (char c : bytes) AppendCp1252Char(expected, static_cast<unsigned char>(c));
  EXPECT_EQ(Cp1252ToUtf8(bytes), expected);
  EXPECT_EQ(Cp1252ToUtf8("Caf\xe9 \x80 5"), "Caf\xc3\xa9 \xe2\x82\xac 5");
  EXPECT_EQ(Cp1252ToUtf8(""), "");
}

TEST(TextFile, AtomicWriteUsesCrLfAndReplacesTheWholeFile) {
  TempDir dir;
  WriteFile(dir / "list", "old content that is longer than the new one\r\n");
  WriteTextLinesAtomically(dir / "list", {"8750|0|0", "8750,News"});
  EXPECT_EQ(ReadFile(dir / "list"), "8750|0|0\r\n8750,News\r\n");
  // Nothing but the file itself is left in the folder.
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) (void)e, ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(TextFile, PiecesAreWrittenInOrderHoweverManyAndAFileIsReadBackWhole) {
  TempDir dir;
  // More pieces than one system call takes, empty ones among them, some of them large.
  std::vector<std::string> texts;
  std::string whole;
  for (int i = 0; i < 3000; ++i) {
    texts.push_back(i % 7 == 0 ? "" : std::string(i % 500 == 1 ? 70000 : i % 13, 'a' + i % 26));
    whole += texts.back();
  }
  const std::vector<std::string_view> pieces(texts.begin(), texts.end());
  WritePiecesAtomically(dir / "list", pieces);
  EXPECT_EQ(ReadFile(dir / "list"), whole);
  EXPECT_EQ(ReadFileBytes(dir / "list"), whole);
  WritePiecesAtomically(dir / "list", {});
  EXPECT_EQ(ReadFileBytes(dir / "list"), "");
}

TEST(TextFile, AtomicWriteIntoAMissingFolderFailsAndWritesNothing) {
  TempDir dir;
  EXPECT_EQ(ErrorOf([&] { WriteTextLinesAtomically(dir / "no/list", {"x"}); }), kPathNotFound);
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST(FileTests, RegularFilesOnlyUnderTheExactName) {
  TempDir dir;
  WriteFile(dir / "radio.png", "x");
  EXPECT_TRUE(IsRegularFile(dir / "radio.png"));
  EXPECT_FALSE(IsRegularFile(dir / "Radio.png"));
  EXPECT_FALSE(IsRegularFile(dir.path()));
  EXPECT_FALSE(IsRegularFile(""));
  MakeDirectory(dir / "FMPresets");
  EXPECT_TRUE(IsDirectory(dir / "FMPresets"));
  MakeDirectory(dir / "FMPresets");  // already there is fine
  EXPECT_EQ(ErrorOf([&] { MakeDirectory(dir / "a/b"); }), kPathNotFound);
}

}  // namespace
