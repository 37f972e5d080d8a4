// The hot-key marks of button labels. A label names its hot key with "&" before the character
// ("Save &as"); the window system takes the mark out and keeps the key as "@" and the character,
// and shows the key's character of a label underlined with the markup "<u>" … "</u>". Keys are
// single bytes: a character of several UTF-8 bytes cannot be a hot key.
//
// Pure functions on texts; any thread.
#pragma once

#include "foundation/str.h"

struct THotKeyLabel {
    str label;
    str key;
};

// The label without its first "&", and the key "@" followed by the byte after it; the key is
// empty without an "&", or when the "&" ends the label or precedes a UTF-8 lead byte.
THotKeyLabel StripKeyFromLabel(const str& label);

// The label with the first character that matches the key's last byte (ignoring case) enclosed
// in "<u>" and "</u>", the whole UTF-8 character when the byte leads one (as far as the label
// goes). The label unchanged for an empty key or when the byte does not occur.
str TagHotKey(const str& key, const str& label);

// A hot key's text made canonical: lower-cased; "@" and the last character for a text of more
// than one character that starts with "@"; otherwise "shift-", "ctrl-" (for "ctrl-" or
// "control-") and "alt-" in that order when the text holds them anywhere, then the last
// character. The last character is upper-cased. An empty text gives an empty text.
str NormalizeHotKey(const str& key);
