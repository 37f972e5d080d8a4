// UTF-8 helpers: sequence length from a lead byte, and encoding and decoding of one code point.
// They are deliberately lenient on decoding (only the top bit of continuation bytes is checked)
// and strict on encoding (no output for U+FFFE, U+FEFF, U+FFFF and values past U+10FFFF).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

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

// False when the text holds a byte of 0xC0 or above (a UTF-8 lead byte), or a NUL; the texts
// that single-byte fields and services accept.
bool IsSingleByteText(std::string_view text);

// The byte length of the character before the byte offset end (clamped to the text): the text
// is walked from its start by sequence lengths, and the answer is the distance from the start of
// the last sequence begun before end to end. 0 at the start.
size_t Utf8PrevCharLength(std::string_view text, size_t end);

// The characters of the text counted by their lead bytes' sequence lengths; a sequence cut by the
// end of the text counts as one.
size_t Utf8CharCount(std::string_view text);

// The byte offset after the first count characters (the text's length when it has fewer).
size_t Utf8CharOffset(std::string_view text, size_t count);
