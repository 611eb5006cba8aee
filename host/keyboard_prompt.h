// The line the user types into: the terminal's stand-in for the host's on-screen keyboard, and
// the ":" command line. It edits like a shell's line: a cursor, Home/End, Backspace and Delete.
#ifndef HALVANE_HOST_KEYBOARD_PROMPT_H
#define HALVANE_HOST_KEYBOARD_PROMPT_H

#include <string>

namespace host {

class KeyboardPrompt {
 public:
  // `keyboardCommand`: the command that opened the on-screen keyboard ("tune", "addpreset" ...),
  // or "" for the command line.
  explicit KeyboardPrompt(std::string keyboardCommand);

  const std::string& keyboardCommand() const { return keyboardCommand_; }
  bool IsCommandLine() const { return keyboardCommand_.empty(); }
  // What the user is asked for.
  std::string Title() const;

  const std::string& text() const { return text_; }
  // Replaces the text (a prefilled name, what a touch keyboard holds); the cursor goes to its end.
  void SetText(std::string text);
  // Whether only a number is asked for (a frequency, a preset number): a face offers a number pad.
  bool AsksNumber() const { return keyboardCommand_ == "tune" || keyboardCommand_ == "preset"; }
  // The cursor, in characters from the start of the text.
  int cursor() const { return cursor_; }
  // Inserts one character at the cursor (a Unicode code point; control characters are refused).
  void Insert(char32_t cp);
  // Removes the character before the cursor / at the cursor.
  void Backspace();
  void Delete();
  void Left();
  void Right();
  void Home() { cursor_ = 0; }
  void End();

  // What is handed to the plug-in: for a typed frequency, the person's "." or "," becomes the
  // decimal mark of the user's locale, `decimalMark`, as the plug-in reads typed numbers there.
  std::string TextForPlugin(char decimalMark) const;

  // The part of the text to show in `width` characters, scrolled so the cursor stays in view,
  // and where the cursor falls in it.
  struct View {
    std::string text;
    int cursor = 0;
  };
  View Visible(int width) const;

 private:
  size_t ByteOffset(int character) const;

  std::string keyboardCommand_;
  std::string text_;  // UTF-8
  int cursor_ = 0;
};

// A typed number with either "." or "," as its decimal mark, written with `decimalMark`. A text
// with both marks, or with either more than once, is left as it is for the plug-in to judge.
std::string WithDecimalMark(const std::string& number, char decimalMark);

}  // namespace host

#endif
