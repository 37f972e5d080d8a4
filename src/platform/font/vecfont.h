// TVecFont: a vector font read from "MVC4" data (".mvec" files). The font owns the whole file in
// memory; each glyph is a record (code, horizontal extents, top, bottom, advance, outline offset)
// and an outline, a small program of drawing operations that the glyph drawer
// (draw/bvminivecdraw.h) rasterises. Lengths are font units of 1/128 pixel at scale 1; the
// getters answer pixels.
//
// Layout (little-endian): "MVC4", the glyph count N (16 bits), 6 unread bytes, N records of 18
// bytes sorted by code, then the outlines at the offsets the records name.
//
// Font data comes from the assets or an archive and is not trusted. The constructor checks it:
// data that does not begin with "MVC4", a record table running past the end, or codes that do
// not ascend give an empty font; an outline offset outside the data makes that glyph missing
// (FindGlyph answers -1 for it). The drawer stops at an outline's end by itself.
//
// Each font has a serial number, unique in the process and never 0, by which the drawer's span
// cache knows its glyphs; destroying a font tells the registered listeners (the drawers) so they
// drop its cached spans.
//
// Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One glyph outline as the drawer takes it: the outline's bytes up to the end of the data that
// holds it, and who it belongs to. A font's glyph carries the font's serial number and the
// outline's offset in the file; an outline built by its caller (a caret or underline rectangle)
// carries serial 0 and is known by its bytes.
struct TGlyphOutline {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    uint32_t fontSerial = 0;
    uint32_t offset = 0;
};

class TVecFont {
public:
    // The shares of the full line height left free above and below the glyphs.
    static constexpr float kMarginAbove = 0.15f;
    static constexpr float kMarginBelow = 0.05f;

    // Keeps the data and frees it with the font.
    explicit TVecFont(std::vector<uint8_t> data);
    ~TVecFont();
    TVecFont(const TVecFont&) = delete;
    TVecFont& operator=(const TVecFont&) = delete;

    int GetGlyphCount() const { return static_cast<int>(mCodes.size()); }
    uint32_t GetSerial() const { return mSerial; }

    // The glyph index of the code by binary search, -1 when there is none or its outline lies
    // outside the data.
    int FindGlyph(uint32_t code) const;
    // The glyph's outline; empty (null bytes) for a bad index or a missing outline.
    TGlyphOutline GetGlyphShape(int index) const;
    // The record's advance, x0 and x1 in pixels; 0.0 for a bad index.
    float GetGlyphAdvance(int index) const;
    float GetGlyphMinX(int index) const;
    float GetGlyphMaxX(int index) const;
    // The scale that fits a glyph taller than the line and its margins into it; 1.0 for a bad
    // index.
    float GetGlyphFitScale(int index) const;

    // Above the baseline: -top of 'W' (without a 'W', the largest -top of any glyph).
    float GetAscent() const { return mAscent; }
    // Below it: the largest bottom among the codes 0 to 127 other than '_', at least 0.
    float GetDescent() const { return mDescent; }
    // The share of the line box the glyphs use: 1 - 0.15 - 0.05.
    static float GetLineFraction();
    // The full line height (ascent + descent) / (1 - 0.2) times 0.15 above, 0.05 below.
    float GetLineMetric(bool above) const;

    // The owner's bold flag (0 after loading) and size factor (1.0 after loading).
    uint8_t GetFlag() const { return mFlag; }
    void SetFlag(uint8_t flag) { mFlag = flag; }
    float GetScale() const { return mScale; }
    void SetScale(float scale) { mScale = scale; }

    // Called with the serial number of every font destroyed. Listeners are added once and
    // removed before they go.
    using TDestroyListener = void (*)(void* context, uint32_t serial);
    static void AddDestroyListener(TDestroyListener listener, void* context);
    static void RemoveDestroyListener(TDestroyListener listener, void* context);

private:
    void Load();
    bool IsValidIndex(int index) const;
    // The record's signed 16-bit field at byte offset field.
    int16_t RecordField(int index, int field) const;

    std::vector<uint8_t> mData;
    // In record order (ascending); the outline offsets, UINT32_MAX for an outline outside the
    // data.
    std::vector<uint32_t> mCodes;
    std::vector<uint32_t> mOutlineOffsets;
    std::vector<float> mFitScales;
    float mAscent = 0.0f;
    float mDescent = 0.0f;
    uint8_t mFlag = 0;
    float mScale = 1.0f;
    uint32_t mSerial;
};
