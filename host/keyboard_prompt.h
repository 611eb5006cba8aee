// The line the user types into: the terminal's stand-in for the host's on-screen keyboard, and
// the ":" command line.
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
  // Appends one character (a Unicode code point; control characters are refused).
  void Insert(char32_t codePoint);
  // Removes the last character (a whole UTF-8 sequence).
  void Backspace();

 private:
  std::string keyboardCommand_;
  std::string text_;  // UTF-8
};

}  // namespace host

#endif
