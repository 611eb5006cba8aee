// The keyboard screen's letter keys: each a button that types one letter (action "radio.type"
// with a one-letter text), shown and typed in capitals or in small letters.
#ifndef HALVANE_HOST_GTK_LETTER_KEYS_H
#define HALVANE_HOST_GTK_LETTER_KEYS_H

#include <gtk/gtk.h>

namespace host::gtk {

// Every letter key under `root` types, shows and is read out as its letter in the case chosen.
// Keys of other texts (digits, marks, "Space") are left as the skin made them.
void ShowLetterCase(GtkWidget* root, bool small);

// Ids of the keyboard screen's two key blocks: the letters, and the number pad shown instead
// while the radio asks for a number.
inline constexpr const char* kLetterPadId = "letterpad";
inline constexpr const char* kNumberPadId = "numberpad";

// The keys for what the radio asks: the skin's number pad for a frequency or a preset number and
// its letter keys otherwise. A skin without a number pad has its letter keys made into one: every
// key that types anything but a digit or a decimal mark (and shift) goes, with a row left empty.
void ShowKeysFor(GtkBuilder* keyboard, GtkWidget* root, bool number);

}  // namespace host::gtk

#endif
