#include "runtime/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "as_nobody.h"
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
  EXPECT_EQ(*ReadTextLines(dir / "a", kListFileLimit), (Lines{"one", "two", "three", "four"}));
  WriteFile(dir / "b", "x\r\n\r\ny\r\n");
  EXPECT_EQ(*ReadTextLines(dir / "b", kListFileLimit), (Lines{"x", "", "y"}));
  WriteFile(dir / "c", "");
  EXPECT_TRUE(ReadTextLines(dir / "c", kListFileLimit)->empty());
  EXPECT_FALSE(ReadTextLines(dir / "missing", kListFileLimit).has_value());
  EXPECT_FALSE(ReadTextLines(dir.path(), kListFileLimit).has_value());  // a folder is not a file
}

TEST(TextFile, Windows1252LinesAreDecodedAndUtf8KeptAsIs) {
  TempDir dir;
  WriteFile(dir / "a", "8750,Caf\xe9 \x80\r\n9000,Caf\xc3\xa9\r\n");
  auto lines = *ReadTextLines(dir / "a", kListFileLimit);
  EXPECT_EQ(lines[0], "8750,Caf\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(lines[1], "9000,Caf\xc3\xa9");
  WriteFile(dir / "bom", "\xef\xbb\xbfnews=Nachrichten\r\n");
  EXPECT_EQ(*ReadTextLines(dir / "bom", kListFileLimit), (Lines{"news=Nachrichten"}));
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
  EXPECT_EQ(ReadFileBytes(dir / "list", kListFileLimit), whole);
  WritePiecesAtomically(dir / "list", {});
  EXPECT_EQ(ReadFileBytes(dir / "list", kListFileLimit), "");
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

namespace reading_and_saving {

using testing_support::AsNobody;
using testing_support::LendToNobody;
using testing_support::ModeOf;

// One rule for every file a user or the environment names: a regular file, up to its limit,
// and nothing that could keep the reader waiting.
TEST(FileReadingRule, OnlyRegularFilesUpToTheLimitAndNeverWaiting) {
  TempDir dir;
  WriteFile(dir / "small", "8750|0|0\r\n");
  WriteFile(dir / "large", std::string(1025, 'x'));
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);  // no writer: opening it plainly waits
  struct Case {
    std::string path;
    std::optional<std::string> bytes;
    std::string reason;
  };
  const Case cases[] = {
      {dir / "small", "8750|0|0\r\n", ""},
      {dir / "large", std::nullopt, "larger than 1024 bytes"},
      {dir / "fifo", std::nullopt, "not a regular file"},
      {"/dev/zero", std::nullopt, "not a regular file"},
      {dir.path(), std::nullopt, "not a regular file"},
      {dir / "missing", std::nullopt, "No such file or directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string reason;
    EXPECT_EQ(ReadFileBytes(c.path, 1024, &reason), c.bytes);
    EXPECT_EQ(reason, c.reason);
  }
  EXPECT_FALSE(ReadTextLines(dir / "large", 1024).has_value());
}

// A save goes where truncating the file would, and nowhere else: run unprivileged, as a
// privileged process may write any file.
TEST(AtomicSave, GoesWhereTruncatingWouldAndKeepsTheFilesMode) {
  TempDir dir;
  ASSERT_TRUE(LendToNobody(dir.path()));
  const std::string readOnly = dir / "readonly.ini", secret = dir / "secret.ini";
  const std::string target = dir / "real/target.ini";
  WriteFile(readOnly, "kept\r\n");
  WriteFile(secret, "old\r\n");
  std::filesystem::create_directory(dir / "real");
  WriteFile(target, "old\r\n");
  ::chmod(readOnly.c_str(), 0444);
  ::chmod(secret.c_str(), 0600);
  ::chmod(target.c_str(), 0640);
  std::filesystem::create_symlink("real/target.ini", dir / "link.ini");
  for (const std::string& p : {readOnly, secret, target, dir / "real"})
    ASSERT_TRUE(LendToNobody(p));
  // Any valid file name can be saved: the longest in bytes, and 80 CJK characters.
  const std::string longName = dir / std::string(252, 'n');
  std::string cjk;
  for (int i = 0; i < 80; ++i) cjk += "\xe6\xbc\xa2";
  struct Case {
    std::string path;
    int error;
  };
  const Case cases[] = {
      {readOnly, kPathFileAccess},
      {secret, 0},
      {dir / "link.ini", 0},
      {longName, 0},
      {dir / cjk, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(AsNobody([&] { return ErrorOf([&] { WriteTextLinesAtomically(c.path, {"new"}); }); }),
              c.error);
  }
  EXPECT_EQ(ReadFile(readOnly), "kept\r\n");
  EXPECT_EQ(ModeOf(readOnly), 0444u);
  EXPECT_EQ(ReadFile(secret), "new\r\n");
  EXPECT_EQ(ModeOf(secret), 0600u);
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
  EXPECT_EQ(ReadFile(target), "new\r\n");
  EXPECT_EQ(ModeOf(target), 0640u);
  EXPECT_EQ(ReadFile(longName), "new\r\n");
  EXPECT_EQ(ReadFile(dir / cjk), "new\r\n");
  // No temporary is left beside any of them.
  int entries = 0;
  for (auto& e : std::filesystem::recursive_directory_iterator(dir.path())) (void)e, ++entries;
  EXPECT_EQ(entries, 7);
}

}  // namespace reading_and_saving

}  // namespace
