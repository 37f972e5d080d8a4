// The typed attribute readers and writers every loader and saver of the engine uses, and the
// saturating conversions that keep numbers from description files defined whatever they say.
// An attribute that is absent or has empty text reads as the default; writers always set the
// attribute (empty text for a value equal to the default), never remove it.
#pragma once

#include <cstdint>

#include "foundation/saturate.h"  // the clamped conversions the readers use
#include "foundation/str.h"

class TXmlNode;

// Decimal by atoi's rules (blanks, sign, digits; no digits: 0); beyond 32 bits it saturates.
int32_t ReadIntAttr(const TXmlNode* node, const str& name, int32_t def);
// strtol's rules in the given base (0 reads "0x3E8" as 1000 and "010" as 8); saturates.
int32_t ReadIntAttrBase(const TXmlNode* node, const str& name, int32_t def, int base);
// atof's rules, as a float.
float ReadFloatAttr(const TXmlNode* node, const str& name, float def);
// ReadIntAttr's number, true when non-zero (so the text "true" reads false).
bool ReadBoolAttr(const TXmlNode* node, const str& name, bool def);
// "%g", or empty text when the value equals the default exactly.
void WriteFloatAttr(TXmlNode* node, const str& name, float value, float def);
// "%d", or empty text when the value equals the default.
void WriteIntAttr(TXmlNode* node, const str& name, int32_t value, int32_t def);
