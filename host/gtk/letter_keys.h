// The keyboard screen's letter keys: each a button that types one letter (action "radio.type"
// with a one-letter text), shown and typed in capitals or in small letters.
#ifndef HALVANE_HOST_GTK_LETTER_KEYS_H
#define HALVANE_HOST_GTK_LETTER_KEYS_H

#include <gtk/gtk.h>

namespace host::gtk {

// Every letter key under `root` types, shows and is read out as its letter in the case chosen.
// Keys of other texts (digits, marks, "Space") are left as the skin made them.
void ShowLetterCase(GtkWidget* root, bool small);

// Shows or hides every key under `root` that types anything but a digit or a decimal mark (and
// the shift key): hidden, the keyboard is a number pad for a frequency or a preset number. A row
// left with no key shown goes too.
void ShowLetterKeys(GtkWidget* root, bool shown);

}  // namespace host::gtk

#endif
