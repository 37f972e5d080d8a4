// The scaled rectangle: a sprite drawn larger or smaller than its texture (or mirrored) but not
// turned. Its texture coordinate s depends only on the column and t only on the row, so every
// pixel row reads the same texel columns with the same weights, and the bilinear rule splits
// into a pass along u on a texel row followed by a pass along v between two such rows. Each
// texel row is filtered along u once, for all the pixel rows that read it, instead of four texel
// reads per pixel. The rounding is the rule's own, pass for pass, so the bytes are those of the
// span path.
#include <algorithm>
#include <limits>

#include "raster/pixelpipe.h"

namespace raster {

namespace {

// Columns handled at once. A column steps at most two texels, so eight columns read at most 16
// texels apart and a row of columns at most 2 kColumns + 2; the row filter may read 17 texels
// past the last it uses.
constexpr int kColumns = TPairPlan::kMaxColumns;
constexpr int kMaxTexelStep = 2 * 65536;
constexpr int kSlack = 17;
constexpr int kRowTexels = 2 * kColumns + 4 + kSlack;

}  // namespace

bool TPixelPipe::ScaledRect(int x, int y, int w, int h, const TAttribs& at, const TAttribs& stepX,
                            const TAttribs& stepY) {
    const TPrimitivePixels& p = mPrimitive;
    if (!mConfig.fastPaths || !mUsesTexture || p.levelCount != 1 || stepX.t[0] != 0 ||
        stepY.s[0] != 0 || stepX.s[0] < -kMaxTexelStep || stepX.s[0] > kMaxTexelStep) {
        return false;
    }
    if (mDirect.skip) return true;
    const TLevel& level = p.level[0];
    const TStageState& st = mConfig.stage;
    const TKernels& k = *mConfig.kernels;
    const bool bilinear = p.filter == TFilter::Linear;
    const int64_t ds = stepX.s[0];
    const int64_t dt = stepY.t[0];

    int32_t index[kColumns];
    uint32_t weight[kColumns];
    // The texel row being filtered, and the one fetched ahead of its use.
    uint32_t texels[2][kRowTexels];
    uint32_t blended[kColumns];
    TPairPlan plan;
    // Two texel rows filtered along u, and which level row each holds: in the buffers here, or
    // (a row taken as it is) in the level itself.
    uint32_t filtered[2][kColumns];
    const uint32_t* rowTexels[2];
    int row[2];
    // A row of a 32-bit level with alpha is read in place where its columns lie inside the level
    // and the row filter's reach past them stays inside the rows below: no copy.
    const bool inPlace = level.format == TPixelFormat::A8R8G8B8 && level.pitch > 0;
    auto levelRow = [&](int64_t column, int count, int slack, int y) -> const uint32_t* {
        if (!inPlace || column < 0 || column + count > level.width) return nullptr;
        const int64_t reach = (column + count + slack) * 4;
        const int64_t room = static_cast<int64_t>(level.height - 1 - y) * level.pitch +
                             static_cast<int64_t>(level.width) * 4;
        if (reach > room) return nullptr;
        return reinterpret_cast<const uint32_t*>(level.pixels +
                                                 static_cast<int64_t>(y) * level.pitch) +
               column;
    };

    for (int done = 0; done < w; done += kColumns) {
        int n = std::min(kColumns, w - done);
        // The texel pair and weight of every column, relative to the first texel read. The
        // point filter reads the pair's first texel with weight 0, which gives it unchanged.
        int64_t s0 = at.s[0] + done * ds;
        int64_t first = std::numeric_limits<int64_t>::max();
        int64_t last = std::numeric_limits<int64_t>::min();
        int64_t i0[kColumns];
        for (int c = 0; c < n; ++c) {
            int64_t s = s0 + c * ds;
            int f = 0;
            if (bilinear) {
                BilinearSplit(s, i0[c], f);
            } else {
                i0[c] = s >> 16;
            }
            weight[c] = static_cast<uint32_t>(f);
            first = std::min(first, i0[c]);
            last = std::max(last, i0[c]);
        }
        int count = static_cast<int>(last - first) + 2;
        for (int c = 0; c < n; ++c)
            index[c] = static_cast<int32_t>(i0[c] - first);
        for (uint32_t* buffer : texels)
            std::fill(buffer + count, buffer + count + kSlack, 0u);
        // One texel per pixel on texel centres: the filter along u gives the texels themselves.
        bool aligned = ds == 65536 && weight[0] == 0;
        // Otherwise every texel row filtered below reads the same columns.
        if (!aligned) k.planPairs(index, weight, n, plan);

        // A level row filtered along u; filtering a new one never evicts the row `keep`.
        row[0] = row[1] = -1;
        int current = 0, ahead = -1;
        const int towards = dt >= 0 ? 1 : -1;
        auto filteredRow = [&](int y, int keep) -> const uint32_t* {
            for (int slot = 0; slot < 2; ++slot) {
                if (row[slot] == y) return rowTexels[slot];
            }
            int slot = row[0] == keep && keep >= 0 ? 1 : 0;
            rowTexels[slot] = filtered[slot];
            if (aligned) {
                if (const uint32_t* direct = levelRow(first + index[0], n, 0, y)) {
                    rowTexels[slot] = direct;
                } else {
                    FetchTexelRow(level, st.addressU, first + index[0], n, y, filtered[slot], &k);
                }
            } else if (const uint32_t* direct = levelRow(first, count, kSlack, y)) {
                k.lerpPlanned(direct, plan, filtered[slot]);
            } else {
                if (ahead == y) {
                    current ^= 1;
                } else {
                    FetchTexelRow(level, st.addressU, first, count, y, texels[current], &k);
                }
                k.lerpPlanned(texels[current], plan, filtered[slot]);
                // The next new row is most likely the neighbour further along. Fetched now, its
                // texels are written out by the time the row filter reads them: loads that
                // straddle stores still in flight wait for them.
                ahead = AddressTexel(y + towards, level.height, st.addressV);
                FetchTexelRow(level, st.addressU, first, count, ahead, texels[current ^ 1], &k);
            }
            row[slot] = y;
            return rowTexels[slot];
        };

        TAttribs rowAt = at;
        Advance(rowAt, stepX, done);
        for (int r = 0; r < h; ++r) {
            int64_t t = at.t[0] + r * dt;
            int64_t j;
            int fv = 0;
            if (bilinear) {
                BilinearSplit(t, j, fv);
            } else {
                j = t >> 16;
            }
            int y0 = AddressTexel(j, level.height, st.addressV);
            const uint32_t* texel = filteredRow(y0, -1);
            if (fv != 0) {
                int y1 = AddressTexel(j + 1, level.height, st.addressV);
                const uint32_t* lower = filteredRow(y1, y0);
                k.lerpRows(texel, lower, fv, n, blended);
                texel = blended;
            }
            if (mDirect.on) {
                if (r + 2 < h)
                    PrefetchRow(mConfig.target->At(x + done, y + r + 2),
                                n * mConfig.target->BytesPerPixel());
                WriteDirect(x + done, y + r, n, texel);
            } else {
                ShadeSampled(x + done, y + r, n, texel, rowAt, stepX);
                Advance(rowAt, stepY, 1);
            }
        }
    }
    return true;
}

}  // namespace raster
