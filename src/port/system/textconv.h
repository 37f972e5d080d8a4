// Internal: text conversions the window system needs between the program's 8-bit text, UTF-8
// and UTF-16. The 8-bit code page of "A" calls is Windows-1252; the system's own text (window
// titles, the clipboard, SDL) is UTF-8.
#pragma once

#include <string>

#include "port/win32types.h"

namespace port {

// UTF-8 to UTF-16. A malformed byte (or a surrogate or overlong form) becomes U+FFFD, or, with
// ansiFallback, the Windows-1252 character of that byte; *valid (optional) tells whether every
// sequence was well formed.
std::u16string Utf8ToUtf16(const std::string& text, bool ansiFallback = false,
                           bool* valid = nullptr);
// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);
// The code point as Windows-1252, or '?' when it has no character there.
char CodePointToAnsi(uint32_t codePoint, bool* representable = nullptr);
uint32_t AnsiToCodePoint(unsigned char byte);
std::string AnsiToUtf8(const std::string& text);
// One Windows-1252 byte per character, '?' where there is none.
std::string Utf8ToAnsi(const std::string& text);
// Bytes that are valid UTF-8 stay as they are; anything else is read as Windows-1252.
std::string ToUtf8(const std::string& bytes);
bool IsValidUtf8(const std::string& bytes);
std::u16string WideFrom(const WCHAR* text);

}  // namespace port
