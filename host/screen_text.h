// Text made fit for a terminal cell grid: counted in characters (code points), cut with an
// ellipsis, control characters blanked, and spelled in ASCII for a terminal whose locale is not
// UTF-8 (a C locale draws "CAFFÈ" as "CAFFE" rather than as stray bytes that break the box).
#ifndef HALVANE_HOST_SCREEN_TEXT_H
#define HALVANE_HOST_SCREEN_TEXT_H

#include <string>
#include <vector>

namespace host {

// The characters of a UTF-8 text, each as its bytes.
std::vector<std::string> Characters(const std::string& text);
int CharacterCount(const std::string& text);

// A text made fit for one screen line: control characters (the RDS record's NULs among them)
// become blanks; cut or padded with blanks to exactly `width` characters.
std::string FitText(const std::string& text, int width);

// At most `width` characters; a longer text is cut and ends in "…" (or "..." with `ascii`).
std::string Ellipsize(const std::string& text, int width, bool ascii = false);

// The text in printable ASCII: Latin letters lose their accents ("È" "E", "ß" "ss"), common
// punctuation gets its plain form, anything else becomes "?".
std::string ToAscii(const std::string& text);

}  // namespace host

#endif
