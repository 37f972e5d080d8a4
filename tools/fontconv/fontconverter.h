// The font converter: reads a TrueType or OpenType font with FreeType, unscaled and unhinted, and
// writes the glyphs of a character set as "MVC4" vector-font data (src/platform/font/vecfont.h),
// or as a C++ source holding those bytes.
//
// The nominal size puts the font's ascent plus descent at kNominalHeight pixels, which keeps every
// coordinate (in 1/128 pixel) far inside 16 bits; the text layout normalises by ascent and descent,
// so the nominal size does not change the size text is drawn at. Records hold the outline's
// horizontal extent (x0, x1), top = -yMax and bottom = -yMin of the outline, and the advance,
// sorted by code; the six unread header bytes are 0.
//
// A code point of the character set that the font has no glyph for fails the conversion, naming
// the code point ("U+4E00"); so does a font without 'W', which the reader takes the ascent from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fontconv {

constexpr double kNominalHeight = 64.0;
constexpr size_t kMaxGlyphs = 65535;

// ASCII 32 to 126, Latin-1 160 to 255, Latin Extended-A, U+2013 to U+2026 and U+20AC.
std::vector<uint32_t> GameCharacterSet();
// ASCII 32 to 126 and Latin-1 160 to 255: the program's built-in font.
std::vector<uint32_t> BuiltinCharacterSet();

// The largest inputs read: font files (the largest in use, collections of East Asian fonts, hold
// some tens of MiB) and strings files (the game's string tables).
constexpr uint64_t kLargestFont = 256 * 1024 * 1024;
constexpr uint64_t kLargestStringsFile = 64 * 1024 * 1024;

// Adds every code point of a UTF-8 text file to codes (control characters below 32, DEL and a
// byte-order mark are skipped). False, with a message, when the file cannot be read (anything but
// a regular file, or one past kLargestStringsFile: see tools/inputfile) or is not UTF-8.
bool ReadStringsFile(const std::string& path, std::vector<uint32_t>* codes, std::string* error);

// "U+00E9": how messages name a code point.
std::string CodePointName(uint32_t code);

// Converts the font file at fontPath for the codes (in any order, repeats allowed). False, with a
// message naming the file, when it cannot be read (as ReadStringsFile, past kLargestFont) or
// ConvertFontData refuses it.
bool ConvertFont(const std::string& fontPath, std::vector<uint32_t> codes,
                 std::vector<uint8_t>* out, std::string* error);
// The same on the bytes of a font file. False, with a message, when FreeType cannot read the font,
// a code has no glyph, 'W' is missing, a value does not fit 16 bits or there are more than
// kMaxGlyphs codes.
bool ConvertFontData(const std::string& font, std::vector<uint32_t> codes,
                     std::vector<uint8_t>* out, std::string* error);

// A C++ source defining `symbol` (const uint8_t[]) and `symbol`Size (const size_t) with the bytes,
// as src/platform/font/builtinfont.h declares them.
std::string CppSource(const std::vector<uint8_t>& bytes, const std::string& symbol,
                      const std::string& origin);

}  // namespace fontconv
