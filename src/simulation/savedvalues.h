// Reading and writing the numbers of saved worlds and definition files. Both are untrusted text:
// integers are read by the rules of atoi (leading blanks, a sign, digits; anything else ends the
// number; no digits read 0), but a number beyond the 32-bit range stops at the range's end
// instead of being undefined. Float-to-integer conversions saturate the same way, and NaN
// becomes 0.
#pragma once

#include "foundation/str.h"

class TXmlNode;

int ParseSavedInt(const char* text);
inline int ParseSavedInt(const str& text) {
    return ParseSavedInt(text.c_str());
}

// The attribute read as an integer; 0 when absent or empty.
int ReadIntAttribute(const TXmlNode* node, const char* name);

// The value truncated toward zero, clamped to the 32-bit range; NaN gives 0.
int TruncateToInt(double value);
