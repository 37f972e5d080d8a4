// Calibration of the glyph drawer's line path: which line ends make the device cover exactly a
// span's pixels [x0, x1) of its row. Every candidate (i, j, k), offsets i/4 - 1, j/4 - 1 and k/4,
// draws the same few spans into a cell of its own of a render-target texture; the pixels are
// read back and the first candidate, in ascending order, whose cell shows exactly its spans is
// kept.
#include <cstdint>

#include "foundation/log.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/renderer.h"
#include "platform/texture/texture.h"

namespace {

constexpr int kTextureWidth = 800;
constexpr int kTextureHeight = 512;
// The display mode's render-target mode: cleared to transparent black, coverage kept in alpha.
constexpr int32_t kTargetMode = 4;
// Candidates: i and j 0 to 7, k 0 to 3, each in a cell of 16 x 8 pixels, 32 cells a row; all
// inside the top-left 512 x 256 pixels, which every display mode has.
constexpr int kCandidates = 8 * 8 * 4;
constexpr int kCellWidth = 16;
constexpr int kCellHeight = 8;
constexpr int kCellsPerRow = 32;

struct TestSpan {
    int x0, x1, y;
};
// One pixel, a few and many, on rows apart, with a pixel of margin all round for candidates
// that reach a pixel too far.
constexpr TestSpan kTestSpans[] = {{1, 2, 1}, {12, 13, 1}, {3, 6, 3}, {2, 14, 5}};

bool Wanted(int x, int y) {
    for (const TestSpan& s : kTestSpans) {
        if (y == s.y && x >= s.x0 && x < s.x1) return true;
    }
    return false;
}

}  // namespace

void TBvMiniVecDraw::Calibrate() {
    std::shared_ptr<TTexture> texture = TTexture::Create(kTextureWidth, kTextureHeight, true);
    if (texture == nullptr) return;
    // The test spans go through the line list, not into a texture of the caller's.
    Flush();
    for (;;) {
        bool refused = false;
        if (RunCalibration(texture, &refused) || !refused) return;
        if (mBatchSize == 64) {
            LogPrintf("Glyph calibration: cannot draw into the calibration texture");
            return;
        }
        mBatchSize = 64;
    }
}

bool TBvMiniVecDraw::RunCalibration(const std::shared_ptr<TTexture>& texture, bool* refused) {
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer->BeginRenderTarget(texture, kTargetMode)) {
        *refused = true;
        return false;
    }
    if (!renderer->Begin2d()) {
        renderer->EndRenderTarget();
        *refused = true;
        return false;
    }
    renderer->SetTexture(nullptr);
    for (int c = 0; c < kCandidates; ++c) {
        const int i = c / 32;
        const int j = c / 4 % 8;
        const int k = c % 4;
        SetOffsets(i * 0.25f - 1.0f, j * 0.25f - 1.0f, k * 0.25f);
        const int left = c % kCellsPerRow * kCellWidth;
        const int top = c / kCellsPerRow * kCellHeight;
        for (const TestSpan& s : kTestSpans) {
            AddToBatch(left + s.x0, left + s.x1, top + s.y, 0xFFFFFFFFu);
        }
    }
    FlushBatch();
    renderer->End2d();
    renderer->EndRenderTarget();

    int found = -1;
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (texture->Lock(&pixels, &pitch) && pixels != nullptr) {
        for (int c = 0; c < kCandidates && found < 0; ++c) {
            const int left = c % kCellsPerRow * kCellWidth;
            const int top = c / kCellsPerRow * kCellHeight;
            bool exact = true;
            for (int y = 0; y < kCellHeight && exact; ++y) {
                const uint32_t* row = pixels + static_cast<ptrdiff_t>(top + y) * pitch + left;
                for (int x = 0; x < kCellWidth && exact; ++x) {
                    exact = ((row[x] >> 24) != 0) == Wanted(x, y);
                }
            }
            if (exact) found = c;
        }
        texture->Unlock();
    }
    if (found < 0) {
        LogPrintf("Glyph calibration: no line ends cover the test spans exactly; keeping 0.25");
        SetOffsets(0.25f, 0.25f, 0.25f);
        return true;
    }
    SetOffsets(found / 32 * 0.25f - 1.0f, found / 4 % 8 * 0.25f - 1.0f, found % 4 * 0.25f);
    return true;
}
