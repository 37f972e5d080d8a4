// The XML reader's reference decoding, shared with the string table's raw scan of spreadsheet
// files, which must read cell texts exactly as the reader reads tokens.
//
// Any thread; no state.
#pragma once

#include <cstddef>
#include <string>

// Decodes the references in text in place, left to right: "&#" with a ";" anywhere later gives
// one byte, the number after "&#" read like atoi and kept to its low 8 bits (no hexadecimal form:
// a text that is not a number gives 0), and the whole "&#...;" is replaced by it; "&amp;",
// "&lt;", "&gt;", "&quot;" and "&apos;" give their characters; any other "&" stays. Answers
// whether the first byte of the result came from a reference.
bool DecodeXmlReferences(std::string& text);
// The same over length bytes at text, which need no terminator; the result is never longer.
// Answers the decoded length; *fromReference tells whether its first byte came from a reference.
size_t DecodeXmlReferences(char* text, size_t length, bool* fromReference);
