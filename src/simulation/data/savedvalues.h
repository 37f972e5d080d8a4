// Reading and writing the numbers of saved worlds and definition files. Both are untrusted text:
// integers are read by the rules of atoi (leading blanks, a sign, digits; anything else ends the
// number; no digits read 0), but a number beyond the 32-bit range stops at the range's end
// instead of being undefined. Float-to-integer conversions saturate the same way, and NaN
// becomes 0.
//
// Saved floats: a data block writes a float as the integer of value x factor (100; 10000 for a
// creature's age) and reads it back as that integer / factor. A float read back is rarely the
// exact n / factor (53 reads back as 0.52999997), so the writer gives the nearest integer when the
// product lies within two float steps of it, and truncates toward zero otherwise. A value read
// from a save is therefore written back as the same integer through any number of loads and
// saves, while a value such as 1.239 is still written 123.
#pragma once

#include <cstdint>

#include "foundation/str.h"
// TruncateToInt, the clamped float-to-int conversion, which saved floats go through.
#include "foundation/saturate.h"

class TXmlNode;

int ParseSavedInt(const char* text);
inline int ParseSavedInt(const str& text) {
    return ParseSavedInt(text.c_str());
}

// The attribute read as an integer; 0 when absent or empty.
int ReadIntAttribute(const TXmlNode* node, const char* name);
// The same, kept in a 16-bit field: the low 16 bits of the clamped integer.
int16_t ReadShortAttribute(const TXmlNode* node, const char* name);

// Definition files: a key is given when present and not empty; a key that is not given takes
// the fallback. 16-bit values keep the low 16 bits; floats are read as the text's ToFloat.
bool IsGiven(const TXmlNode* node, const char* name);
int ReadIntOr(const TXmlNode* node, const char* name, int fallback);
int16_t ReadShortOr(const TXmlNode* node, const char* name, int16_t fallback);
float ReadTextFloatOr(const TXmlNode* node, const char* name, float fallback);

constexpr double kSavedFloatFactor = 100.0;
constexpr double kSavedAgeFactor = 10000.0;

// The integer a float is saved as.
int SavedFloatToInt(double value, double factor = kSavedFloatFactor);
// The float a saved integer stands for.
float SavedIntToFloat(int saved, double factor = kSavedFloatFactor);

void WriteFloatAttribute(TXmlNode* node, const char* name, float value,
                         double factor = kSavedFloatFactor);
// 0 when absent or empty.
float ReadFloatAttribute(const TXmlNode* node, const char* name, double factor = kSavedFloatFactor);
