// The text markup: tags in angle brackets inside every text the windows show ("<br>",
// "<b>", "<font size='20' color='#ff0000'>", "<a id='ok'>", "<tab pos='100'>", ...).
// TMarkupParser reads one tag at a time, where the text layout (textlayout.h) meets a "<", and
// keeps the markup state the tags build: a stack of font styles, a stack of alignments, the open
// link, the outline and the bold, italic and underline flags. The text is never turned into a
// tree; a tag changes the state for the text after it.
//
// Tags are read leniently and never fail: a "<" with no ">" after it is an ordinary character,
// unknown tags vanish, missing attributes leave the state as it was, bad numbers read as 0. Texts
// come from string tables, typed names and downloaded files, so every number read saturates at
// kNumberLimit, and more nested "font" or alignment tags than the stacks hold leave the deepest
// stored entry in force while the depth still counts them (so closing tags pair as written).
//
// Owned by one text layout. Main thread only.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/str.h"

// One font style: the font's name (a font file, or "__DEFAULT"), its size in pixels and its
// colour (red, green, blue, alpha, 0.0 to 1.0).
struct TMarkupStyle {
    str face;
    int32_t size = 0;
    float color[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

class TMarkupParser {
public:
    static constexpr int kStackSize = 32;
    // A tag is read into this many characters at most; the rest of a longer tag is text.
    static constexpr int kTagLength = 128;
    static constexpr int32_t kNumberLimit = 1000000;
    // The alignments of the alignment stack; entry 0 holds kNoAlignment.
    enum : int32_t { kNoAlignment = -1, kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };

    TMarkupParser();

    // The state of a new layout pass: no font nested, no flags, no alignment set, no link, no
    // outline (colours all 0.0). The style records stay; the caller fills record 0.
    void Reset();
    // One alignment deeper; stored while the depth is below kStackSize.
    void PushAlign(int32_t value);
    // One alignment up, never above entry 0.
    void PopAlign();

    // Reads the tag that starts at text[0] (its "<"), of the length bytes given. False when there
    // is no tag there: the "<" is then a character and nothing changed but tab. On true, consumed
    // is the tag's length in bytes, and the tag's effect is reported: newline set by "br" and
    // "/p"; pad set by "br" with "pad"; cursor set by "cursor"; alignmentChanged set by the six
    // alignment tags; tab, which every call first sets to 0, set by "tab" with "pos" to 4 times
    // the position. The caller clears newline, pad, cursor and alignmentChanged when it needs to.
    bool ParseTag(const char* text, size_t length, int32_t& consumed, bool& newline, int32_t& pad,
                  bool& cursor, bool& alignmentChanged, int32_t& tab);
    // The same for a zero-terminated text (null: no tag).
    bool ParseTag(const char* text, int32_t& consumed, bool& newline, int32_t& pad, bool& cursor,
                  bool& alignmentChanged, int32_t& tab);

    // The style in force: the record at the style depth, the deepest record while more "font"
    // tags are open than the stack holds.
    const TMarkupStyle& GetStyle() const { return mStyles[std::min(mStyleDepth, kStackSize - 1)]; }
    // Record 0, which the layout fills from its own font, size and colour.
    TMarkupStyle& GetBaseStyle() { return mStyles[0]; }
    int32_t GetStyleDepth() const { return mStyleDepth; }
    bool IsBold() const { return mBold != 0; }
    bool IsItalic() const { return mItalic != 0; }
    bool IsUnderline() const { return mUnderline != 0; }
    // The alignment in force, kNoAlignment while markup has set none.
    int32_t GetAlignment() const { return mAligns[std::min(mAlignDepth, kStackSize - 1)]; }
    int32_t GetAlignmentDepth() const { return mAlignDepth; }
    const str& GetLinkId() const { return mLinkId; }
    const float* GetLinkColor() const { return mLinkColor; }
    float GetOutlineSize() const { return mOutlineSize; }
    const float* GetOutlineColor() const { return mOutlineColor; }

    // Going back in the text. The layout marks the state at each blank where it may break a
    // line, and rewinds to the blank's mark when it breaks there, so that the tags after the
    // blank, read again on the next line, count once. A mark stays good until ForgetMarks or
    // Reset.
    struct TMark {
        int32_t styleDepth;
        uint8_t bold, italic, underline;
        int32_t alignDepth;
        str linkId;
        float linkColor[4];
        float outlineSize;
        float outlineColor[4];
        size_t styleTrail;
        size_t alignTrail;
    };
    TMark Mark() const;
    void Rewind(const TMark& mark);
    // Drops what rewinding keeps; every mark taken before is void.
    void ForgetMarks();

private:
    // The effect of the normalised tag (its characters after the "<").
    void Apply(const char* tag, size_t length, bool& newline, int32_t& pad, bool& cursor,
               bool& alignmentChanged, int32_t& tab);
    void PushFont(const char* tag, size_t length);

    // In this order: the style stack and its depth, the flags, the alignment stack and its depth,
    // the link, the outline.
    TMarkupStyle mStyles[kStackSize];
    int32_t mStyleDepth = 0;
    uint8_t mBold = 0;
    uint8_t mItalic = 0;
    uint8_t mUnderline = 0;
    int32_t mAligns[kStackSize] = {};
    int32_t mAlignDepth = 0;
    str mLinkId;
    float mLinkColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    float mOutlineSize = 0.0f;
    float mOutlineColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};

    // For rewinding: the stack entries overwritten since ForgetMarks, oldest first, with what
    // they held.
    struct TStyleWrite {
        int32_t index;
        TMarkupStyle before;
    };
    struct TAlignWrite {
        int32_t index;
        int32_t before;
    };
    std::vector<TStyleWrite> mStyleTrail;
    std::vector<TAlignWrite> mAlignTrail;
};
