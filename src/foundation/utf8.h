// UTF-8 helpers: sequence length from a lead byte, and encoding and decoding of one code point.
// They are deliberately lenient on decoding (only the top bit of continuation bytes is checked)
// and strict on encoding (no output for U+FFFE, U+FEFF, U+FFFF and values past U+10FFFF).
#pragma once

#include <cstdint>

// 0 for NUL; 4 from 0xF0; 3 from 0xE0; 2 from 0xC0; 1 for everything else, continuation bytes
// included.
int Utf8SequenceLength(unsigned char leadByte);

// Writes the encoding of codePoint into out (room for 4 bytes); returns the byte count, 0 to 4.
// Surrogate values are encoded like any other.
int Utf8Encode(uint32_t codePoint, char* out);

// The code point of the sequence at bytes; 0 for NUL and for a malformed sequence (a stray
// continuation byte, or a following byte without its top bit). Overlong forms and surrogates
// pass. Reads no further than the first byte that fails.
uint32_t Utf8Decode(const char* bytes);
