#include "fontconverter.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

#include "inputfile.h"
#include "outlinewriter.h"

namespace fontconv {

namespace {

// FreeType's library and face, let go in the right order on every path.
struct TFreeType {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~TFreeType() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

TPoint ToPoint(const FT_Vector* v) {
    return {static_cast<double>(v->x), static_cast<double>(v->y)};
}

int MoveTo(const FT_Vector* to, void* user) {
    static_cast<TOutlineWriter*>(user)->MoveTo(ToPoint(to));
    return 0;
}
int LineTo(const FT_Vector* to, void* user) {
    static_cast<TOutlineWriter*>(user)->LineTo(ToPoint(to));
    return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    static_cast<TOutlineWriter*>(user)->ConicTo(ToPoint(control), ToPoint(to));
    return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    static_cast<TOutlineWriter*>(user)->CubicTo(ToPoint(c1), ToPoint(c2), ToPoint(to));
    return 0;
}

struct TGlyph {
    uint32_t code = 0;
    int16_t x0 = 0, x1 = 0, top = 0, bottom = 0, advance = 0;
    std::vector<uint8_t> outline;
};

// Font units to 1/128 pixel at the nominal size; false when it does not fit 16 bits.
bool ToUnits(double fontUnits, double scale, int16_t* out) {
    double v = std::round(fontUnits * scale * 128.0);
    if (!(v >= -32768.0 && v <= 32767.0)) return false;
    *out = static_cast<int16_t>(v);
    return true;
}

// Checks that every coordinate the writer stored fits; the writer itself wraps.
bool OutlineFits(const FT_Outline& outline, double scale) {
    for (int i = 0; i < outline.n_points; ++i) {
        int16_t unused;
        if (!ToUnits(static_cast<double>(outline.points[i].x), scale, &unused) ||
            !ToUnits(static_cast<double>(outline.points[i].y), scale, &unused)) {
            return false;
        }
    }
    return true;
}

bool ConvertGlyph(FT_Face face, uint32_t code, double scale, TGlyph* glyph, std::string* error) {
    FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0) {
        *error = "the font has no glyph for " + CodePointName(code);
        return false;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) !=
            0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        *error = "FreeType cannot load the outline of " + CodePointName(code);
        return false;
    }
    FT_Outline& outline = face->glyph->outline;
    glyph->code = code;
    bool fits =
        OutlineFits(outline, scale) &&
        ToUnits(static_cast<double>(face->glyph->metrics.horiAdvance), scale, &glyph->advance);
    if (outline.n_points > 0) {
        FT_BBox box;
        FT_Outline_Get_BBox(&outline, &box);
        fits = fits && ToUnits(static_cast<double>(box.xMin), scale, &glyph->x0) &&
               ToUnits(static_cast<double>(box.xMax), scale, &glyph->x1) &&
               ToUnits(-static_cast<double>(box.yMax), scale, &glyph->top) &&
               ToUnits(-static_cast<double>(box.yMin), scale, &glyph->bottom);
    }
    if (!fits) {
        *error = "a coordinate of " + CodePointName(code) + " does not fit 16 bits";
        return false;
    }
    TOutlineWriter writer(scale);
    FT_Outline_Funcs funcs = {};
    funcs.move_to = MoveTo;
    funcs.line_to = LineTo;
    funcs.conic_to = ConicTo;
    funcs.cubic_to = CubicTo;
    if (outline.n_points > 0 && FT_Outline_Decompose(&outline, &funcs, &writer) != 0) {
        *error = "FreeType cannot walk the outline of " + CodePointName(code);
        return false;
    }
    glyph->outline = writer.Finish();
    return true;
}

void Put16(std::vector<uint8_t>* out, uint16_t v) {
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

void AddRange(std::vector<uint32_t>* codes, uint32_t first, uint32_t last) {
    for (uint32_t c = first; c <= last; ++c)
        codes->push_back(c);
}

// The next code point of UTF-8 text at *at, or false for a malformed sequence.
bool DecodeUtf8(const std::string& text, size_t* at, uint32_t* code) {
    auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    uint8_t lead = byte(*at);
    int extra = lead < 0x80         ? 0
                : (lead >> 5) == 6  ? 1
                : (lead >> 4) == 14 ? 2
                : (lead >> 3) == 30 ? 3
                                    : -1;
    if (extra < 0 || *at + static_cast<size_t>(extra) >= text.size()) return false;
    uint32_t value = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        uint8_t next = byte(*at + static_cast<size_t>(i));
        if ((next & 0xC0) != 0x80) return false;
        value = (value << 6) | (next & 0x3F);
    }
    static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (value < kLeast[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return false;
    }
    *at += static_cast<size_t>(extra) + 1;
    *code = value;
    return true;
}

}  // namespace

std::vector<uint32_t> BuiltinCharacterSet() {
    std::vector<uint32_t> codes;
    AddRange(&codes, 32, 126);
    AddRange(&codes, 160, 255);
    return codes;
}

std::vector<uint32_t> GameCharacterSet() {
    std::vector<uint32_t> codes = BuiltinCharacterSet();
    AddRange(&codes, 0x100, 0x17F);
    AddRange(&codes, 0x2013, 0x2026);
    codes.push_back(0x20AC);
    return codes;
}

std::string CodePointName(uint32_t code) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", code);
    return name;
}

bool ReadStringsFile(const std::string& path, std::vector<uint32_t>* codes, std::string* error) {
    std::string text;
    if (!tools::ReadInputFile(path, kLargestStringsFile, &text, error)) return false;
    size_t at = 0;
    while (at < text.size()) {
        uint32_t code = 0;
        if (!DecodeUtf8(text, &at, &code)) {
            *error = path + " is not UTF-8 at byte " + std::to_string(at);
            return false;
        }
        if (code >= 32 && code != 0x7F && code != 0xFEFF) codes->push_back(code);
    }
    return true;
}

bool ConvertFont(const std::string& fontPath, std::vector<uint32_t> codes,
                 std::vector<uint8_t>* out, std::string* error) {
    std::string font;
    if (!tools::ReadInputFile(fontPath, kLargestFont, &font, error)) return false;
    if (ConvertFontData(font, std::move(codes), out, error)) return true;
    *error = fontPath + ": " + *error;
    return false;
}

bool ConvertFontData(const std::string& font, std::vector<uint32_t> codes,
                     std::vector<uint8_t>* out, std::string* error) {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    if (codes.size() > kMaxGlyphs) {
        *error = "more than 65535 glyphs asked for";
        return false;
    }
    if (!std::binary_search(codes.begin(), codes.end(), uint32_t{'W'})) {
        *error = "the character set lacks 'W', which the font's ascent is taken from";
        return false;
    }
    TFreeType ft;
    if (FT_Init_FreeType(&ft.library) != 0 ||
        FT_New_Memory_Face(ft.library, reinterpret_cast<const FT_Byte*>(font.data()),
                           static_cast<FT_Long>(font.size()), 0, &ft.face) != 0) {
        *error = "FreeType cannot read it as a font";
        return false;
    }
    double height = static_cast<double>(ft.face->ascender) - ft.face->descender;
    if (!FT_IS_SCALABLE(ft.face) || !(height > 0.0)) {
        *error = "not a scalable font with an ascent and descent";
        return false;
    }
    double scale = kNominalHeight / height;

    std::vector<TGlyph> glyphs(codes.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        if (!ConvertGlyph(ft.face, codes[i], scale, &glyphs[i], error)) return false;
    }

    size_t offset = 12 + 18 * glyphs.size();
    static const char kMagic[] = "MVC4";
    out->assign(kMagic, kMagic + 4);
    out->reserve(offset);
    Put16(out, static_cast<uint16_t>(glyphs.size()));
    out->resize(out->size() + 6, 0);
    for (const TGlyph& g : glyphs) {
        if (offset > UINT32_MAX) {
            *error = "the outlines pass 4 GB";
            return false;
        }
        Put32(out, g.code);
        for (int16_t v : {g.x0, g.x1, g.top, g.bottom, g.advance})
            Put16(out, static_cast<uint16_t>(v));
        Put32(out, static_cast<uint32_t>(offset));
        offset += g.outline.size();
    }
    for (const TGlyph& g : glyphs)
        out->insert(out->end(), g.outline.begin(), g.outline.end());
    return true;
}

std::string CppSource(const std::vector<uint8_t>& bytes, const std::string& symbol,
                      const std::string& origin) {
    std::string text = "// Made by tools/fontconv from " + origin +
                       " when the program is built; do not edit.\n"
                       "#include <cstddef>\n#include <cstdint>\n\n"
                       "extern const uint8_t " +
                       symbol +
                       "[];\n"
                       "extern const size_t " +
                       symbol +
                       "Size;\n\n"
                       "alignas(4) const uint8_t " +
                       symbol + "[] = {";
    char hex[8];
    for (size_t i = 0; i < bytes.size(); ++i) {
        text += i % 16 == 0 ? "\n    " : " ";
        std::snprintf(hex, sizeof hex, "0x%02x,", bytes[i]);
        text += hex;
    }
    text += "\n};\nconst size_t " + symbol + "Size = sizeof " + symbol + ";\n";
    return text;
}

}  // namespace fontconv
