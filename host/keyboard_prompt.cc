#include "keyboard_prompt.h"

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

void KeyboardPrompt::Insert(char32_t cp) {
  if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return;
  if (cp < 0x80) {
    text_ += static_cast<char>(cp);
  } else if (cp < 0x800) {
    text_ += static_cast<char>(0xC0 | (cp >> 6));
    text_ += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    text_ += static_cast<char>(0xE0 | (cp >> 12));
    text_ += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    text_ += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    text_ += static_cast<char>(0xF0 | (cp >> 18));
    text_ += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    text_ += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    text_ += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void KeyboardPrompt::Backspace() {
  // Drop continuation bytes, then the lead byte of the last character.
  while (!text_.empty() && (static_cast<unsigned char>(text_.back()) & 0xC0) == 0x80)
    text_.pop_back();
  if (!text_.empty()) text_.pop_back();
}

}  // namespace host
