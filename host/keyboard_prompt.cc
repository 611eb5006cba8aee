#include "keyboard_prompt.h"

#include <algorithm>

#include "halvane/encodings.h"
#include "screen_text.h"

namespace host {

KeyboardPrompt::KeyboardPrompt(std::string keyboardCommand)
    : keyboardCommand_(std::move(keyboardCommand)) {}

std::string KeyboardPrompt::Title() const {
  if (keyboardCommand_.empty()) return "Command";
  if (keyboardCommand_ == "tune") return "Frequency (MHz, or kHz for AM)";
  if (keyboardCommand_ == "preset") return "Preset number";
  if (keyboardCommand_ == "addpreset") return "New preset's name";
  if (keyboardCommand_ == "editpreset") return "Preset's new name";
  return keyboardCommand_;
}

void KeyboardPrompt::SetText(std::string text) {
  text_.clear();
  cursor_ = 0;
  // Through Insert, so control characters stay out as they do when typed.
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length && i + static_cast<size_t>(k) < text.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<size_t>(k)]) & 0x3F);
    Insert(cp);
    i += static_cast<size_t>(length);
  }
}

size_t KeyboardPrompt::ByteOffset(int character) const {
  size_t i = 0;
  for (int n = 0; i < text_.size() && n < character; ++n) {
    ++i;
    while (i < text_.size() && (static_cast<unsigned char>(text_[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

void KeyboardPrompt::Insert(char32_t cp) {
  if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return;
  std::string encoded;
  halvane::AppendUtf8(encoded, cp);
  text_.insert(ByteOffset(cursor_), encoded);
  ++cursor_;
}

void KeyboardPrompt::Backspace() {
  if (cursor_ == 0) return;
  const size_t from = ByteOffset(cursor_ - 1);
  text_.erase(from, ByteOffset(cursor_) - from);
  --cursor_;
}

void KeyboardPrompt::Delete() {
  const size_t from = ByteOffset(cursor_);
  text_.erase(from, ByteOffset(cursor_ + 1) - from);
}

void KeyboardPrompt::Left() { cursor_ = std::max(cursor_ - 1, 0); }
void KeyboardPrompt::Right() { cursor_ = std::min(cursor_ + 1, CharacterCount(text_)); }
void KeyboardPrompt::End() { cursor_ = CharacterCount(text_); }

std::string KeyboardPrompt::TextForPlugin(char decimalMark) const {
  if (keyboardCommand_ == "tune") return WithDecimalMark(text_, decimalMark);
  // "rtune;104.5" typed on the command line is a frequency too.
  if (IsCommandLine()) {
    std::string word = text_.substr(0, text_.find(';'));
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (word == "rtune" && word.size() < text_.size())
      return text_.substr(0, word.size() + 1) +
             WithDecimalMark(text_.substr(word.size() + 1), decimalMark);
  }
  return text_;
}

KeyboardPrompt::View KeyboardPrompt::Visible(int width) const {
  if (width <= 1) return {};
  const int count = CharacterCount(text_);
  // The cursor may stand after the last character, so one cell is kept for it.
  const int first = std::max(0, cursor_ - (width - 1));
  const size_t from = ByteOffset(first);
  std::string shown = FitText(text_.substr(from), std::min(width, count - first));
  return {shown, cursor_ - first};
}

std::string WithDecimalMark(const std::string& number, char decimalMark) {
  const auto points = std::count(number.begin(), number.end(), '.');
  const auto commas = std::count(number.begin(), number.end(), ',');
  if (points + commas != 1) return number;
  std::string out = number;
  std::replace_if(
      out.begin(), out.end(), [](char c) { return c == '.' || c == ','; }, decimalMark);
  return out;
}

}  // namespace host
