// TBvMiniVecDraw: the glyph drawer. It turns glyph outlines (font/vecfont.h) into anti-aliased
// horizontal spans, 4 x 4 samples a pixel, and draws the spans either through the renderer as a
// line list or straight into the locked pixels of a target texture. The first screen set-up makes
// the one drawer and calibrates it; the platform object keeps it until the teardown deletes it.
// The text layout drives it: it sets the options, scales, rotation, slant and stroke widths,
// colours the shade slots, then calls Begin, DrawString once per glyph and Flush.
//
// Coordinates. Begin's position is in pixels; DrawString's offsets and the shapes after scaling
// are in quarter pixels. The scales map an outline's pixels at scale 1 to quarter pixels (a
// scale of 4 draws an outline at its own size). A glyph is drawn in this order: slant
// (x -= y / 3), scales, rotation, then the phase. Quarter-pixel positions are divided by 4 with
// floor division and floor remainder everywhere, so glyph parts above the baseline (negative y)
// and positions left of the origin land in the right pixel. A sample (quarter column q, quarter
// row r) is covered when its centre (q + 1/2, r + 1/2) lies inside; a pixel's coverage is the
// number of its 16 samples covered, and pixel coverage c (1 to 16) takes entry c - 1 of its alpha
// ramp. Columns and rows beyond 1,600 pixels from the glyph's origin are cut.
//
// Styles. Each covered sample takes one of four styles; where they overlap, the highest wins:
//   0: the first stroke (shade slot 255, ramp 0); 1: the second stroke (slot 254, ramp 1);
//   2: the fill (slot 1, ramp 3); 3: the extra style (slot 2, ramp 2).
// The rules our fonts, the font converter and this drawer share:
//   1. Segment edges (opcodes 5 and 6) carry the fill style, not a colour number.
//   2. The fill uses the non-zero winding rule, as TrueType outlines mean it, so overlapping
//      contours of composed glyphs stay solid. The strokes do too.
//   3. Opcode 7 colours the extra style's slot 2 (alpha 1.0), never slots 1, 254 or 255, so a
//      glyph looks the same when first rasterised and when replayed from the cache.
//   Opcodes 2 or 3 with a non-zero byte move the following edges into the extra style, which
//   toggles at each edge (even-odd); opcode 1, or a byte of 0, moves them back to the fill. The
//   font converter writes none of opcodes 1, 2, 3 and 7.
// Strokes come only from the drawer's two widths: the first when it is not 0 (style 0), then the
// second when it is not 0 (style 1); a first width of 0 means no stroke at all. Each segment of
// an outline gets a hexagon around it, built from the segment's ends in shape space after the
// slant and before the scales and rotation, with half-width w = width x 4 / scale x; its edges
// then go through the same scales and rotation as the outline. So a ring reaches `width` pixels
// beyond the outline horizontally, and width x scale y / scale x vertically. The text layout
// gives an outline the first width (slot 255 in the outline colour) and bold the next one in the
// fill colour: the fill shows over an outline-coloured ring, bold thickens the fill.
//
// Outline operations: 1 new style group; 2 and 3 (byte) style; 4 (x, y) move; 5 (x, y) line;
// 6 (cx, cy, x, y) quadratic curve as 3 lines at t = 1/3, 2/3, 1; 7 (r, g, b) extra colour;
// 8 end. Coordinates are signed 16-bit values / 128. Interpretation stops at the outline's end,
// at opcode 8 or at an unknown opcode, drawing what was complete.
//
// The span cache. A glyph's spans are computed once per (outline, phases, scales, rotation,
// stroke widths, slant) and replayed afterwards; colours are not part of the key (spans keep
// their ramp and take its colour of the moment). A font's glyph is known by its font's serial
// number and outline offset, an outline of serial 0 by its bytes. Destroying a font drops its
// records; the cache is emptied when its memory passes 16 MB (spancache.h).
//
// The texture path. With a target texture, Begin locks it and the spans go into its 0xAARRGGBB
// pixels, [x0, x1) of the row, in replace mode (colour and alpha stored), blend mode (alpha
// a_d + a capped at 255, each channel (c_d a_d + c a) / (a_d + a); a span alpha of 0 leaves the
// pixel) or the default mode ((c_d (255 - a) + c a) / 255, the pixel's alpha kept).
//
// The line path. Without a target a span [x0, x1) on row y is the line from
// (x0 + offset x, y + offset z) to (x1 + offset y, y + offset z), drawn through
// TRenderer::DrawVertices as a line list of screen-space vertices; Calibrate chooses the offsets
// with which the device covers exactly the span's pixels.
//
// A non-finite (or beyond +-1e9 pixels) position, scale or rotation draws nothing.
//
// Begin, SetShadeColors, DrawString and Flush are virtual so that tests and benchmarks can put a
// drawer of their own (recording, or discarding) where the text layout looks for the platform's.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/draw/spancache.h"
#include "platform/draw/vertexbatch.h"
#include "platform/font/vecfont.h"

class TTexture;

class TBvMiniVecDraw {
public:
    static constexpr int kBatchVertices = 256;
    // Half the coverage window in pixels: columns and rows -1,600 to 1,599 around the origin.
    static constexpr int kHalfWindow = 1600;

    TBvMiniVecDraw();
    virtual ~TBvMiniVecDraw();
    TBvMiniVecDraw(const TBvMiniVecDraw&) = delete;
    TBvMiniVecDraw& operator=(const TBvMiniVecDraw&) = delete;

    // Starts a run at (x, y) in pixels. Without a target the renderer's texture is unbound and
    // spans go through the line list; a change of target flushes and unlocks the old one and
    // locks the new one. False only when the target cannot be locked: then nothing is drawn
    // until the next Begin. The second pointer is only let go.
    virtual bool Begin(float x, float y, const std::shared_ptr<TTexture>& target = nullptr,
                       std::shared_ptr<TTexture> released = nullptr);
    // Fills shade slot `slot` and the ramp its style uses from the colour, its alpha scaled by
    // factor.
    virtual void SetShadeColors(int slot, uint32_t color, float factor);
    // Draws one outline at the Begin position plus (x, y) quarter pixels.
    virtual void DrawString(const TGlyphOutline& outline, int x, int y);
    // Draws the batched spans and empties the batch.
    void FlushBatch();
    // FlushBatch, then unlocks the target texture and lets it go.
    virtual void Flush();
    // Chooses the line-end offsets against the device (vecdrawcalibrate.cpp).
    void Calibrate();

    // What the text layout sets.
    void SetBlend(uint8_t blend) { mBlend = blend; }
    void SetReplace(uint8_t replace) { mReplace = replace; }
    void SetRotation(float cosine, float sine) {
        mCos = cosine;
        mSin = sine;
    }
    void SetSlant(bool slant) { mSlant = slant; }
    void SetStrokeWidths(float first, float second) {
        mStrokeWidth[0] = first;
        mStrokeWidth[1] = second;
    }
    void SetScale(float x, float y) {
        mScaleX = x;
        mScaleY = y;
    }

    uint8_t GetBlend() const { return mBlend; }
    uint8_t GetReplace() const { return mReplace; }
    float GetCosine() const { return mCos; }
    float GetSine() const { return mSin; }
    bool GetSlant() const { return mSlant; }
    float GetStrokeWidth(int i) const { return mStrokeWidth[i & 1]; }
    float GetScaleX() const { return mScaleX; }
    float GetScaleY() const { return mScaleY; }
    // The four colours of a shade slot (0 to 3) and entry i (0 to 31) of an alpha ramp (0 to 3).
    uint32_t GetShadeColor(int slot, int i) const { return mShade[slot & 255][i & 3]; }
    uint32_t GetRampColor(int ramp, int i) const { return mRamps[ramp & 3][i & 31]; }
    // The alpha ramp of a style value.
    static int GetRampOfValue(int value);
    float GetOffsetX() const { return mOffset[0]; }
    float GetOffsetY() const { return mOffset[1]; }
    float GetOffsetZ() const { return mOffset[2]; }
    void SetOffsets(float x, float y, float z);
    int GetBatchSize() const { return mBatchSize; }
    const TSpanCache& GetCache() const { return mCache; }
    // The cache and the drawing counts since the last reset, for the benchmark and the tests.
    struct Stats {
        uint64_t rasterised = 0;
        uint64_t replayed = 0;
    };
    const Stats& GetStats() const { return mStats; }
    void ResetStats() { mStats = {}; }

private:
    // 36 bytes, as the tables are sized.
    struct Edge {
        float x0, y0, x1, y1;
        int32_t nextInRow;
        int32_t rowEnd;
        float curX;
        float slope;
        int8_t dir;
        uint8_t style;
    };
    static_assert(sizeof(Edge) == 36);

    struct PendingSpan {
        int32_t x0, x1, y;
        uint32_t color;
    };

    // glyphscan.cpp: edges, strokes, scan conversion and coverage.
    void Rasterise(const TGlyphOutline& outline, int phaseX, int phaseY);
    void BuildEdges(const TGlyphOutline& outline, double phaseX, double phaseY);
    void AddSegment(double ax, double ay, double bx, double by, int style, double phaseX,
                    double phaseY);
    void AddStroke(double ax, double ay, double bx, double by, float width, int style,
                   double phaseX, double phaseY);
    void AddEdge(double x0, double y0, double x1, double y1, int style);
    void Scan();
    void AddCoverage(int layer, int xa, int xb);
    void EmitRow(int pixelRow);

    // Emits a span relative to the glyph origin, recording it when recording.
    void EmitSpan(int x0, int x1, int y, int coverage, int layer);
    // Batches a span in screen or texture pixels.
    void AddToBatch(int64_t x0, int64_t x1, int64_t y, uint32_t color);
    void FlushToTexture();
    void ReleaseTarget();
    bool RunCalibration(const std::shared_ptr<TTexture>& texture, bool* refused);

    // The vertex batch.
    TTLVertex mVertices[kBatchVertices];
    PendingSpan mSpans[kBatchVertices / 2];
    TVertexBatch* mBatch = nullptr;
    int mVertexCount = 0;
    int mBatchSize = kBatchVertices;

    uint32_t mShade[256][4] = {};
    uint32_t mRamps[4][32] = {};

    // Edges and row buckets (quarter rows from mRowMin).
    std::vector<Edge> mEdges;
    std::vector<int32_t> mRowHeads;
    std::vector<int32_t> mActive;
    int mRowMin = 0;
    int mRowMax = 0;

    // Coverage: one layer per ramp, cells of differences for columns -1,600 to 1,599 (and one
    // beyond for the last column's right neighbour).
    int8_t mCells[4][2 * kHalfWindow + 1] = {};
    int mFirstCell[4] = {};
    int mLastCell[4] = {};
    bool mTouched[4] = {};

    // The run's position: whole pixels and quarter phases.
    int64_t mPosX = 0;
    int64_t mPosY = 0;
    int mPhaseX = 0;
    int mPhaseY = 0;
    bool mPositionValid = true;
    bool mRefused = false;
    // The glyph being drawn: its origin in pixels.
    int64_t mOriginX = 0;
    int64_t mOriginY = 0;

    float mScaleX = 1.0f;
    float mScaleY = 1.0f;
    float mCos = 1.0f;
    float mSin = 0.0f;
    bool mSlant = false;
    float mStrokeWidth[2] = {0.0f, 0.0f};

    TSpanCache mCache;
    bool mRecording = false;
    Stats mStats;

    std::shared_ptr<TTexture> mTarget;
    uint32_t* mPixels = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    int mPitch = 0;
    uint8_t mBlend = 0;
    uint8_t mReplace = 0;

    float mOffset[3] = {0.25f, 0.25f, 0.25f};
};
