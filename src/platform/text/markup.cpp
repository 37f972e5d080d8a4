#include "platform/text/markup.h"

#include <climits>
#include <cstring>
#include <string_view>

namespace {

// The tags by name, in the order they are tried: a tag is the first whose name begins its
// normalised text, so "bold" reads as "b" and "table" as "tab".
enum class Tag {
    kBreak,
    kEndParagraph,
    kLink,
    kEndLink,
    kBold,
    kEndBold,
    kItalic,
    kEndItalic,
    kUnderline,
    kEndUnderline,
    kCursor,
    kCenter,
    kEndCenter,
    kLeft,
    kEndLeft,
    kRight,
    kEndRight,
    kFont,
    kEndFont,
    kOutline,
    kEndOutline,
    kTab,
    kUnknown,
};

constexpr std::string_view kTagNames[] = {
    "br",     "/p",   "a",      "/a",      "b",        "/b",   "i",     "/i",
    "u",      "/u",   "cursor", "center",  "/center",  "left", "/left", "right",
    "/right", "font", "/font",  "outline", "/outline", "tab",
};
static_assert(std::size(kTagNames) == static_cast<size_t>(Tag::kUnknown));

bool BeginsWith(std::string_view text, std::string_view name) {
    if (text.size() < name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        if (text[i] != name[i]) return false;
    }
    return true;
}

Tag FindTag(std::string_view tag) {
    // An image tag is none of ours and vanishes like any other: it must not read as "i" and slant
    // the text after it.
    if (BeginsWith(tag, "img")) return Tag::kUnknown;
    for (size_t i = 0; i < std::size(kTagNames); ++i) {
        if (BeginsWith(tag, kTagNames[i])) return static_cast<Tag>(i);
    }
    return Tag::kUnknown;
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The value of the attribute: the text between the first quote after the first occurrence of
// its name and the next quote. A double quote is looked for before a single one, for the
// opening and for the closing quote alike. False when the name or either quote is missing.
bool FindAttribute(std::string_view tag, std::string_view name, std::string_view* value) {
    size_t at = tag.find(name);
    if (at == std::string_view::npos) return false;
    auto quoteAfter = [&](size_t from) {
        size_t quote = tag.find('"', from);
        return quote != std::string_view::npos ? quote : tag.find('\'', from);
    };
    size_t open = quoteAfter(at + name.size());
    if (open == std::string_view::npos) return false;
    size_t close = quoteAfter(open + 1);
    if (close == std::string_view::npos) return false;
    *value = tag.substr(open + 1, close - open - 1);
    return true;
}

// The leading decimal digits (none: 0), held at the number limit.
int32_t ReadNumber(std::string_view text) {
    int32_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        number = std::min(number * 10 + (c - '0'), TMarkupParser::kNumberLimit);
    }
    return number;
}

// An optional "#", then hexadecimal digits as far as they go; the lowest 32 bits are kept.
uint32_t ReadHex(std::string_view text) {
    if (text.starts_with('#')) text.remove_prefix(1);
    uint32_t number = 0;
    for (char c : text) {
        uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint32_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint32_t>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<uint32_t>(c - 'A' + 10);
        } else {
            break;
        }
        number = number << 4 | digit;
    }
    return number;
}

void SetColor(float color[4], uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha) {
    color[0] = static_cast<float>(red & 255) / 255.0f;
    color[1] = static_cast<float>(green & 255) / 255.0f;
    color[2] = static_cast<float>(blue & 255) / 255.0f;
    color[3] = static_cast<float>(alpha & 255) / 255.0f;
}

// RRGGBB, opaque: the form of "a" and "outline".
void ReadRgb(std::string_view value, float color[4]) {
    uint32_t rgb = ReadHex(value);
    SetColor(color, rgb >> 16, rgb >> 8, rgb, 255);
}

// The form of "font": RRGGBBAA when the whole value has eight characters, else RRGGBB.
void ReadFontColor(std::string_view value, float color[4]) {
    if (value.size() != 8) {
        ReadRgb(value, color);
        return;
    }
    uint32_t rgba = ReadHex(value);
    SetColor(color, rgba >> 24, rgba >> 16, rgba >> 8, rgba);
}

void CopyColor(const float from[4], float to[4]) {
    std::memcpy(to, from, 4 * sizeof(float));
}

}  // namespace

TMarkupParser::TMarkupParser() {
    Reset();
}

void TMarkupParser::Reset() {
    mStyleDepth = 0;
    mBold = mItalic = mUnderline = 0;
    mAlignDepth = 0;
    mAligns[0] = kNoAlignment;
    mLinkId = str();
    std::fill(std::begin(mLinkColor), std::end(mLinkColor), 0.0f);
    mOutlineSize = 0.0f;
    std::fill(std::begin(mOutlineColor), std::end(mOutlineColor), 0.0f);
    ForgetMarks();
}

void TMarkupParser::PushAlign(int32_t value) {
    if (mAlignDepth == INT32_MAX) return;
    ++mAlignDepth;
    if (mAlignDepth >= kStackSize) return;
    mAlignTrail.push_back({mAlignDepth, mAligns[mAlignDepth]});
    mAligns[mAlignDepth] = value;
}

void TMarkupParser::PopAlign() {
    if (mAlignDepth > 0) --mAlignDepth;
}

bool TMarkupParser::ParseTag(const char* text, size_t length, int32_t& consumed, bool& newline,
                             int32_t& pad, bool& cursor, bool& alignmentChanged, int32_t& tab) {
    tab = 0;
    if (length == 0 || text[0] != '<') return false;

    // Normalised: blanks outside quotes dropped, lower case except in a value after "=" up to
    // the next blank.
    char tag[kTagLength];
    size_t stored = 0;
    size_t read = 0;
    bool quoted = false;
    bool keepCase = false;
    bool closed = false;
    while (read < length && stored < kTagLength) {
        const char c = text[read++];
        if (c == '>') {
            tag[stored++] = c;
            closed = true;
            break;
        }
        if (c == ' ') {
            keepCase = false;
            if (quoted) tag[stored++] = c;
            continue;
        }
        if (c == '"' || c == '\'') quoted = !quoted;
        tag[stored++] = keepCase ? c : LowerAscii(c);
        if (c == '=') keepCase = true;
    }
    // A tag cut at its full length still needs its ">" somewhere after; the rest up to it is
    // read as text.
    if (!closed && (read == length || std::memchr(text + read, '>', length - read) == nullptr)) {
        return false;
    }
    consumed = static_cast<int32_t>(std::min<size_t>(read, INT32_MAX));
    Apply(tag + 1, stored - 1, newline, pad, cursor, alignmentChanged, tab);
    return true;
}

bool TMarkupParser::ParseTag(const char* text, int32_t& consumed, bool& newline, int32_t& pad,
                             bool& cursor, bool& alignmentChanged, int32_t& tab) {
    return ParseTag(text, text != nullptr ? std::strlen(text) : 0, consumed, newline, pad, cursor,
                    alignmentChanged, tab);
}

void TMarkupParser::Apply(const char* text, size_t length, bool& newline, int32_t& pad,
                          bool& cursor, bool& alignmentChanged, int32_t& tab) {
    const std::string_view tag(text, length);
    std::string_view value;
    switch (FindTag(tag)) {
        case Tag::kBreak:
            newline = true;
            if (FindAttribute(tag, "pad", &value)) pad = ReadNumber(value);
            break;
        case Tag::kEndParagraph:
            newline = true;
            break;
        case Tag::kLink:
            if (FindAttribute(tag, "id", &value))
                mLinkId = str(value.data(), static_cast<int>(value.size()));
            if (FindAttribute(tag, "color", &value)) {
                ReadRgb(value, mLinkColor);
            } else {
                CopyColor(GetStyle().color, mLinkColor);
            }
            break;
        case Tag::kEndLink:
            mLinkId = str();
            CopyColor(GetStyle().color, mLinkColor);
            break;
        case Tag::kBold:
            mBold = 1;
            break;
        case Tag::kEndBold:
            mBold = 0;
            break;
        case Tag::kItalic:
            mItalic = 1;
            break;
        case Tag::kEndItalic:
            mItalic = 0;
            break;
        case Tag::kUnderline:
            mUnderline = 1;
            break;
        case Tag::kEndUnderline:
            mUnderline = 0;
            break;
        case Tag::kCursor:
            cursor = true;
            break;
        case Tag::kCenter:
            PushAlign(kAlignCenter);
            alignmentChanged = true;
            break;
        case Tag::kLeft:
            PushAlign(kAlignLeft);
            alignmentChanged = true;
            break;
        case Tag::kRight:
            PushAlign(kAlignRight);
            alignmentChanged = true;
            break;
        case Tag::kEndCenter:
        case Tag::kEndLeft:
        case Tag::kEndRight:
            PopAlign();
            alignmentChanged = true;
            break;
        case Tag::kFont:
            PushFont(text, length);
            break;
        case Tag::kEndFont:
            if (mStyleDepth > 0) --mStyleDepth;
            break;
        case Tag::kOutline:
            if (FindAttribute(tag, "color", &value)) ReadRgb(value, mOutlineColor);
            mOutlineSize =
                FindAttribute(tag, "size", &value) ? static_cast<float>(ReadNumber(value)) : 2.0f;
            break;
        case Tag::kEndOutline:
            mOutlineSize = 0.0f;
            std::fill(std::begin(mOutlineColor), std::end(mOutlineColor), 0.0f);
            break;
        case Tag::kTab:
            if (FindAttribute(tag, "pos", &value)) tab = 4 * ReadNumber(value);
            break;
        case Tag::kUnknown:
            break;
    }
}

void TMarkupParser::PushFont(const char* text, size_t length) {
    if (mStyleDepth == INT32_MAX) return;
    ++mStyleDepth;
    if (mStyleDepth >= kStackSize) return;
    TMarkupStyle& style = mStyles[mStyleDepth];
    mStyleTrail.push_back({mStyleDepth, style});
    style = mStyles[mStyleDepth - 1];
    const std::string_view tag(text, length);
    std::string_view value;
    if (FindAttribute(tag, "size", &value)) style.size = ReadNumber(value);
    if (FindAttribute(tag, "color", &value)) ReadFontColor(value, style.color);
    if (FindAttribute(tag, "face", &value))
        style.face = str(value.data(), static_cast<int>(value.size()));
}

TMarkupParser::TMark TMarkupParser::Mark() const {
    TMark mark{mStyleDepth, mBold,        mItalic, mUnderline,         mAlignDepth,       mLinkId,
               {},          mOutlineSize, {},      mStyleTrail.size(), mAlignTrail.size()};
    CopyColor(mLinkColor, mark.linkColor);
    CopyColor(mOutlineColor, mark.outlineColor);
    return mark;
}

void TMarkupParser::Rewind(const TMark& mark) {
    while (mStyleTrail.size() > mark.styleTrail) {
        mStyles[mStyleTrail.back().index] = std::move(mStyleTrail.back().before);
        mStyleTrail.pop_back();
    }
    while (mAlignTrail.size() > mark.alignTrail) {
        mAligns[mAlignTrail.back().index] = mAlignTrail.back().before;
        mAlignTrail.pop_back();
    }
    mStyleDepth = mark.styleDepth;
    mBold = mark.bold;
    mItalic = mark.italic;
    mUnderline = mark.underline;
    mAlignDepth = mark.alignDepth;
    mLinkId = mark.linkId;
    CopyColor(mark.linkColor, mLinkColor);
    mOutlineSize = mark.outlineSize;
    CopyColor(mark.outlineColor, mOutlineColor);
}

void TMarkupParser::ForgetMarks() {
    mStyleTrail.clear();
    mAlignTrail.clear();
}
