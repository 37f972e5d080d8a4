#include "port/system/textconv.h"

namespace port {
namespace {

// Windows-1252 from 0x80 to 0x9F; the five undefined bytes keep their C1 control value.
constexpr char16_t kAnsiHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf16(std::u16string& out, uint32_t codePoint) {
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

void AppendUtf8(std::string& out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// Decodes one well-formed sequence at text[i]; 0 bytes when it is malformed.
size_t DecodeUtf8(const std::string& text, size_t i, uint32_t* codePoint) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    size_t length;
    uint32_t value, minimum;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *codePoint = value;
    return length;
}

}  // namespace

uint32_t AnsiToCodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kAnsiHigh[byte - 0x80] : byte;
}

char CodePointToAnsi(uint32_t codePoint, bool* representable) {
    if (representable != nullptr) *representable = true;
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<char>(codePoint);
    }
    for (int i = 0; i < 32; ++i) {
        if (kAnsiHigh[i] == codePoint) return static_cast<char>(0x80 + i);
    }
    if (representable != nullptr) *representable = false;
    return '?';
}

std::u16string Utf8ToUtf16(const std::string& text, bool ansiFallback, bool* valid) {
    std::u16string out;
    out.reserve(text.size());
    if (valid != nullptr) *valid = true;
    for (size_t i = 0; i < text.size();) {
        uint32_t codePoint = 0;
        size_t length = DecodeUtf8(text, i, &codePoint);
        if (length == 0) {
            if (valid != nullptr) *valid = false;
            codePoint =
                ansiFallback ? AnsiToCodePoint(static_cast<unsigned char>(text[i])) : 0xFFFD;
            length = 1;
        }
        AppendUtf16(out, codePoint);
        i += length;
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;
        }
        AppendUtf8(out, unit);
    }
    return out;
}

std::string AnsiToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char byte : text)
        AppendUtf8(out, AnsiToCodePoint(byte));
    return out;
}

std::string Utf8ToAnsi(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t codePoint = 0;
        size_t length = DecodeUtf8(text, i, &codePoint);
        if (length == 0) {
            codePoint = 0xFFFD;
            length = 1;
        }
        out.push_back(CodePointToAnsi(codePoint));
        i += length;
    }
    return out;
}

bool IsValidUtf8(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        uint32_t codePoint;
        size_t length = DecodeUtf8(bytes, i, &codePoint);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string ToUtf8(const std::string& bytes) {
    return IsValidUtf8(bytes) ? bytes : AnsiToUtf8(bytes);
}

std::u16string WideFrom(const WCHAR* text) {
    return text != nullptr ? std::u16string(text) : std::u16string();
}

}  // namespace port
