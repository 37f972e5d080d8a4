// Base64 in its standard form (alphabet A-Z a-z 0-9 + /, "=" as the pad, no line breaks), as the
// cipher's text stage and its key preparation use it.
//
// Decoding is lenient, as the stored texts need: a text whose length is not a multiple of 4 is
// read as if "=" filled it up; each group of 4 characters gives 3 bytes, one fewer when its fourth
// character is "=", two fewer when its third is too. The bytes of group g always sit at 3 * g,
// so only a pad at the end of the text gives a plain result. A character outside the alphabet
// counts as 0. The output buffer must hold Base64DecodedSize(length) bytes.
//
// Any thread.
#pragma once

#include <cstdint>

int Base64EncodedSize(int length);
// Writes Base64EncodedSize(length) characters (no NUL) and answers their number.
int Base64Encode(char* out, const uint8_t* data, int length);
int Base64DecodedSize(int length);
// Answers the number of bytes written.
int Base64Decode(uint8_t* out, const char* text, int length);
