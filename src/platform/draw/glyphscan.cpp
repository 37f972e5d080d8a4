// The glyph drawer's rasteriser: an outline becomes edges (with the strokes' hexagons), the edges
// are scanned quarter row by quarter row into coverage cells, and every fourth quarter row the
// cells become spans. See bvminivecdraw.h for the coordinates and the style rule.
#include <algorithm>
#include <cmath>

#include "platform/draw/bvminivecdraw.h"

namespace {

constexpr int kOpGroup = 1;
constexpr int kOpStyle1 = 2;
constexpr int kOpStyle2 = 3;
constexpr int kOpMove = 4;
constexpr int kOpLine = 5;
constexpr int kOpCurve = 6;
constexpr int kOpColor = 7;
constexpr int kOpEnd = 8;

constexpr int kStyleFill = 2;
constexpr int kStyleExtra = 3;
// The style value (shade slot) of each style.
constexpr int kStyleValue[4] = {255, 254, 1, 2};

constexpr int kQuarterWindow = 4 * TBvMiniVecDraw::kHalfWindow;

// A quarter coordinate's sample index: the first sample whose centre is not left of (or above)
// v, held inside the window (and one beyond on each side).
int SampleIndex(double v) {
    double s = std::ceil(v - 0.5);
    if (!(s > -kQuarterWindow)) return -kQuarterWindow;
    if (s > kQuarterWindow) return kQuarterWindow;
    return static_cast<int>(s);
}

// Reads the outline's operands.
class OutlineReader {
public:
    OutlineReader(const uint8_t* bytes, size_t size) : mBytes(bytes), mSize(size) {}
    bool AtEnd() const { return mPos >= mSize; }
    bool Has(size_t n) const { return mSize - mPos >= n; }
    int Byte() { return mBytes[mPos++]; }
    double Coord() {
        int16_t v =
            static_cast<int16_t>(static_cast<uint16_t>(mBytes[mPos] | mBytes[mPos + 1] << 8));
        mPos += 2;
        return v * 0.0078125;
    }

private:
    const uint8_t* mBytes;
    size_t mSize;
    size_t mPos = 0;
};

}  // namespace

void TBvMiniVecDraw::Rasterise(const TGlyphOutline& outline, int phaseX, int phaseY) {
    mEdges.clear();
    BuildEdges(outline, phaseX, phaseY);
    if (!mEdges.empty()) Scan();
}

void TBvMiniVecDraw::BuildEdges(const TGlyphOutline& outline, double phaseX, double phaseY) {
    OutlineReader in(outline.bytes, outline.size);
    int style = kStyleFill;
    double cx = 0.0;
    double cy = 0.0;
    auto slant = [this](double x, double y) { return mSlant ? x - y / 3.0 : x; };
    while (!in.AtEnd()) {
        const int op = in.Byte();
        if (op == kOpGroup) {
            style = kStyleFill;
        } else if (op == kOpStyle1 || op == kOpStyle2) {
            if (!in.Has(1)) return;
            style = in.Byte() != 0 ? kStyleExtra : kStyleFill;
        } else if (op == kOpMove || op == kOpLine) {
            if (!in.Has(4)) return;
            double x = in.Coord();
            double y = in.Coord();
            x = slant(x, y);
            if (op == kOpLine) AddSegment(cx, cy, x, y, style, phaseX, phaseY);
            cx = x;
            cy = y;
        } else if (op == kOpCurve) {
            if (!in.Has(8)) return;
            double qx = in.Coord();
            double qy = in.Coord();
            double x = in.Coord();
            double y = in.Coord();
            qx = slant(qx, qy);
            x = slant(x, y);
            double px = cx;
            double py = cy;
            for (int i = 1; i <= 3; ++i) {
                const double t = i / 3.0;
                const double u = 1.0 - t;
                double nx = i == 3 ? x : u * u * cx + 2 * t * u * qx + t * t * x;
                double ny = i == 3 ? y : u * u * cy + 2 * t * u * qy + t * t * y;
                AddSegment(px, py, nx, ny, style, phaseX, phaseY);
                px = nx;
                py = ny;
            }
            cx = x;
            cy = y;
        } else if (op == kOpColor) {
            if (!in.Has(3)) return;
            uint32_t r = static_cast<uint32_t>(in.Byte());
            uint32_t g = static_cast<uint32_t>(in.Byte());
            uint32_t b = static_cast<uint32_t>(in.Byte());
            SetShadeColors(kStyleValue[kStyleExtra], 0xFF000000u | r << 16 | g << 8 | b, 1.0f);
        } else {
            // kOpEnd, or an operation this drawer does not know: what was read is drawn.
            return;
        }
    }
}

void TBvMiniVecDraw::AddSegment(double ax, double ay, double bx, double by, int style,
                                double phaseX, double phaseY) {
    if (mStrokeWidth[0] != 0.0f) {
        AddStroke(ax, ay, bx, by, mStrokeWidth[0], 0, phaseX, phaseY);
        if (mStrokeWidth[1] != 0.0f) AddStroke(ax, ay, bx, by, mStrokeWidth[1], 1, phaseX, phaseY);
    }
    const bool rotated = !(mCos == 1.0f && mSin == 0.0f);
    auto place = [&](double x, double y, double* ox, double* oy) {
        x *= mScaleX;
        y *= mScaleY;
        if (rotated) {
            const double rx = x * mCos - y * mSin;
            y = x * mSin + y * mCos;
            x = rx;
        }
        *ox = x + phaseX;
        *oy = y + phaseY;
    };
    double x0, y0, x1, y1;
    place(ax, ay, &x0, &y0);
    place(bx, by, &x1, &y1);
    AddEdge(x0, y0, x1, y1, style);
}

void TBvMiniVecDraw::AddStroke(double ax, double ay, double bx, double by, float width, int style,
                               double phaseX, double phaseY) {
    const double w = width * 4.0 / mScaleX;
    const double dx = bx - ax;
    const double dy = by - ay;
    const double length = std::hypot(dx, dy);
    if (!std::isfinite(w) || w == 0.0 || !(length > 0.0)) return;
    const double ox = dx / length * w;
    const double oy = dy / length * w;
    const double hexagon[6][2] = {
        {ax + oy, ay - ox}, {ax - ox, ay - oy}, {ax - oy, ay + ox},
        {bx - oy, by + ox}, {bx + ox, by + oy}, {bx + oy, by - ox},
    };
    const bool rotated = !(mCos == 1.0f && mSin == 0.0f);
    double placed[6][2];
    for (int i = 0; i < 6; ++i) {
        double x = hexagon[i][0] * mScaleX;
        double y = hexagon[i][1] * mScaleY;
        if (rotated) {
            const double rx = x * mCos - y * mSin;
            y = x * mSin + y * mCos;
            x = rx;
        }
        placed[i][0] = x + phaseX;
        placed[i][1] = y + phaseY;
    }
    for (int i = 0; i < 6; ++i) {
        const int j = (i + 1) % 6;
        AddEdge(placed[i][0], placed[i][1], placed[j][0], placed[j][1], style);
    }
}

void TBvMiniVecDraw::AddEdge(double x0, double y0, double x1, double y1, int style) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) {
        return;
    }
    // Past any window, but inside float range: the edge table keeps floats.
    constexpr double kFar = 1e30;
    x0 = std::clamp(x0, -kFar, kFar);
    y0 = std::clamp(y0, -kFar, kFar);
    x1 = std::clamp(x1, -kFar, kFar);
    y1 = std::clamp(y1, -kFar, kFar);
    int8_t dir = 1;
    if (y1 < y0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1;
    }
    // The quarter rows whose sample centres lie in [y0, y1); none: the edge crosses no sample.
    const int rowStart = SampleIndex(y0);
    const int rowEnd = SampleIndex(y1);
    if (rowStart >= rowEnd) return;
    Edge e;
    e.x0 = static_cast<float>(x0);
    e.y0 = static_cast<float>(y0);
    e.x1 = static_cast<float>(x1);
    e.y1 = static_cast<float>(y1);
    e.nextInRow = rowStart;  // the first row until Scan links the buckets
    e.rowEnd = rowEnd;
    e.curX = 0.0f;
    e.slope = static_cast<float>(std::clamp((x1 - x0) / (y1 - y0), -kFar, kFar));
    e.dir = dir;
    e.style = static_cast<uint8_t>(style);
    mEdges.push_back(e);
}

void TBvMiniVecDraw::Scan() {
    mRowMin = kQuarterWindow;
    mRowMax = -kQuarterWindow;
    for (const Edge& e : mEdges) {
        mRowMin = std::min(mRowMin, e.nextInRow);
        mRowMax = std::max(mRowMax, e.rowEnd - 1);
    }
    const size_t rows = static_cast<size_t>(mRowMax - mRowMin + 1);
    if (mRowHeads.capacity() < rows) {
        size_t capacity = std::max<size_t>(mRowHeads.capacity(), 4096);
        while (capacity < rows)
            capacity *= 2;
        mRowHeads.reserve(capacity);
    }
    mRowHeads.assign(rows, -1);
    for (int32_t i = static_cast<int32_t>(mEdges.size()) - 1; i >= 0; --i) {
        Edge& e = mEdges[static_cast<size_t>(i)];
        int32_t& head = mRowHeads[static_cast<size_t>(e.nextInRow - mRowMin)];
        e.nextInRow = head;
        head = i;
    }

    mActive.clear();
    for (int row = mRowMin; row <= mRowMax; ++row) {
        for (int32_t i = mRowHeads[static_cast<size_t>(row - mRowMin)]; i >= 0;
             i = mEdges[static_cast<size_t>(i)].nextInRow) {
            mActive.push_back(i);
        }
        mActive.erase(
            std::remove_if(mActive.begin(), mActive.end(),
                           [&](int32_t i) { return mEdges[static_cast<size_t>(i)].rowEnd <= row; }),
            mActive.end());
        const float sampleY = static_cast<float>(row) + 0.5f;
        for (int32_t i : mActive) {
            Edge& e = mEdges[static_cast<size_t>(i)];
            e.curX = e.x0 + (sampleY - e.y0) * e.slope;
        }
        // Nearly sorted from the row before: insertion sort.
        for (size_t k = 1; k < mActive.size(); ++k) {
            const int32_t moving = mActive[k];
            const float x = mEdges[static_cast<size_t>(moving)].curX;
            size_t j = k;
            while (j > 0 && mEdges[static_cast<size_t>(mActive[j - 1])].curX > x) {
                mActive[j] = mActive[j - 1];
                --j;
            }
            mActive[j] = moving;
        }

        int winding[3] = {0, 0, 0};
        bool extra = false;
        for (size_t k = 0; k < mActive.size(); ++k) {
            const Edge& e = mEdges[static_cast<size_t>(mActive[k])];
            if (e.style == kStyleExtra) {
                extra = !extra;
            } else {
                winding[e.style] += e.dir;
            }
            if (k + 1 == mActive.size()) break;
            int top = extra             ? kStyleExtra
                      : winding[2] != 0 ? 2
                      : winding[1] != 0 ? 1
                      : winding[0] != 0 ? 0
                                        : -1;
            if (top < 0) continue;
            const int xa = SampleIndex(e.curX);
            const int xb = SampleIndex(mEdges[static_cast<size_t>(mActive[k + 1])].curX);
            if (xa < xb) AddCoverage(GetRampOfValue(kStyleValue[top]), xa, xb);
        }

        if ((row & 3) == 3 || row == mRowMax) EmitRow(row >> 2);
    }
}

void TBvMiniVecDraw::AddCoverage(int layer, int xa, int xb) {
    // Cell c + kHalfWindow holds the difference of column c's coverage from column c - 1's.
    int8_t* cells = mCells[layer];
    const int ca = (xa >> 2) + kHalfWindow;
    const int ra = xa & 3;
    const int cb = (xb >> 2) + kHalfWindow;
    const int rb = xb & 3;
    const int last = 2 * kHalfWindow;
    if (ca < last) {
        cells[ca] = static_cast<int8_t>(cells[ca] + 4 - ra);
        cells[ca + 1] = static_cast<int8_t>(cells[ca + 1] + ra);
    }
    if (cb < last) {
        cells[cb] = static_cast<int8_t>(cells[cb] - (4 - rb));
        cells[cb + 1] = static_cast<int8_t>(cells[cb + 1] - rb);
    }
    if (!mTouched[layer]) {
        mTouched[layer] = true;
        mFirstCell[layer] = ca;
        mLastCell[layer] = std::min(cb + 1, last);
    } else {
        mFirstCell[layer] = std::min(mFirstCell[layer], ca);
        mLastCell[layer] = std::max(mLastCell[layer], std::min(cb + 1, last));
    }
}

void TBvMiniVecDraw::EmitRow(int pixelRow) {
    // Lower styles first, so that on a texture the higher one is laid over them.
    for (int style = 0; style < 4; ++style) {
        const int layer = GetRampOfValue(kStyleValue[style]);
        if (!mTouched[layer]) continue;
        mTouched[layer] = false;
        int8_t* cells = mCells[layer];
        int coverage = 0;
        int runCoverage = 0;
        int runStart = 0;
        const int first = mFirstCell[layer];
        const int end = std::min(mLastCell[layer] + 1, 2 * kHalfWindow + 1);
        for (int c = first; c < end; ++c) {
            coverage += cells[c];
            cells[c] = 0;
            // Only columns inside the window draw.
            int shown = c < 2 * kHalfWindow ? coverage : 0;
            if (shown != runCoverage) {
                if (runCoverage > 0) {
                    EmitSpan(runStart - kHalfWindow, c - kHalfWindow, pixelRow, runCoverage, layer);
                }
                runCoverage = shown;
                runStart = c;
            }
        }
        if (runCoverage > 0) {
            EmitSpan(runStart - kHalfWindow, end - kHalfWindow, pixelRow, runCoverage, layer);
        }
    }
}
