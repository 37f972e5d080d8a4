#include "platform/draw/bvminivecdraw.h"

#include <algorithm>
#include <cmath>

#include "platform/draw/color.h"
#include "platform/draw/renderer.h"
#include "platform/texture/texture.h"

namespace {

// A position beyond this many pixels draws nothing (and keeps the arithmetic in range).
constexpr double kLargestPosition = 1e9;

void OnFontDestroyed(void* context, uint32_t serial) {
    static_cast<TSpanCache*>(context)->DropFont(serial);
}

uint8_t ScaledAlpha(uint32_t color, float factor) {
    float a = static_cast<float>(color >> 24) * factor;
    if (!(a > 0.0f)) return 0;
    return a >= 255.0f ? 255 : static_cast<uint8_t>(a);
}

uint32_t WithAlpha(uint32_t color, uint32_t alpha) {
    return (color & 0x00FFFFFFu) | alpha << 24;
}

}  // namespace

TBvMiniVecDraw::TBvMiniVecDraw() {
    for (TTLVertex& v : mVertices)
        v = TTLVertex{0.0f, 0.0f, 0.1f, 0.5f, 0, 0xFF000000u, 0, 0};
    mBatch = TVertexBatch::CreateKind3(mVertices, 0);
    mEdges.reserve(512);
    mRowHeads.reserve(4096);
    TVecFont::AddDestroyListener(OnFontDestroyed, &mCache);
}

TBvMiniVecDraw::~TBvMiniVecDraw() {
    TVecFont::RemoveDestroyListener(OnFontDestroyed, &mCache);
    ReleaseTarget();
    TVertexBatch::Free(mBatch);
}

int TBvMiniVecDraw::GetRampOfValue(int value) {
    switch (value & 255) {
        case 1:
            return 3;
        case 254:
            return 1;
        case 255:
            return 0;
        default:
            return 2;
    }
}

void TBvMiniVecDraw::SetOffsets(float x, float y, float z) {
    mOffset[0] = x;
    mOffset[1] = y;
    mOffset[2] = z;
}

bool TBvMiniVecDraw::Begin(float x, float y, const std::shared_ptr<TTexture>& target,
                           std::shared_ptr<TTexture> released) {
    released.reset();
    mRefused = false;
    mPositionValid = std::isfinite(x) && std::isfinite(y) && std::fabs(x) < kLargestPosition &&
                     std::fabs(y) < kLargestPosition;
    if (mPositionValid) {
        int64_t qx = static_cast<int64_t>(std::floor(static_cast<double>(x) * 4.0));
        int64_t qy = static_cast<int64_t>(std::floor(static_cast<double>(y) * 4.0));
        mPosX = qx >> 2;
        mPosY = qy >> 2;
        mPhaseX = static_cast<int>(qx & 3);
        mPhaseY = static_cast<int>(qy & 3);
    }
    if (target != mTarget) {
        FlushBatch();
        ReleaseTarget();
        if (target != nullptr) {
            uint32_t* pixels = nullptr;
            int pitch = 0;
            if (!target->Lock(&pixels, &pitch) || pixels == nullptr) {
                // Whatever the caller draws next would land on the screen instead.
                mRefused = true;
                return false;
            }
            mTarget = target;
            mPixels = pixels;
            mPitch = pitch;
            mWidth = std::min(target->GetWidth(), pitch);
            mHeight = target->GetHeight();
        }
    }
    if (target == nullptr) TRenderer::GetInstance()->SetTexture(nullptr);
    return true;
}

void TBvMiniVecDraw::SetShadeColors(int slot, uint32_t color, float factor) {
    const uint32_t a = ScaledAlpha(color, factor);
    uint32_t* shade = mShade[slot & 255];
    shade[0] = WithAlpha(color, a * 17 / 256);
    shade[1] = WithAlpha(color, a * 40 / 256);
    shade[2] = WithAlpha(color, a * 73 / 256);
    shade[3] = WithAlpha(color, a * 128 / 256);
    uint32_t* ramp = mRamps[GetRampOfValue(slot)];
    for (uint32_t i = 0; i < 16; ++i)
        ramp[i] = WithAlpha(color, a * 16 * (i + 1) / 256);
    for (uint32_t i = 16; i < 32; ++i)
        ramp[i] = WithAlpha(color, a * 255 / 256);
}

void TBvMiniVecDraw::DrawString(const TGlyphOutline& outline, int x, int y) {
    if (mRefused || !mPositionValid || outline.bytes == nullptr || outline.size == 0) return;
    if (!std::isfinite(mScaleX) || !std::isfinite(mScaleY) || !std::isfinite(mCos) ||
        !std::isfinite(mSin) || !std::isfinite(mStrokeWidth[0]) ||
        !std::isfinite(mStrokeWidth[1])) {
        return;
    }
    const int64_t qx = mPhaseX + static_cast<int64_t>(x);
    const int64_t qy = mPhaseY + static_cast<int64_t>(y);
    mOriginX = mPosX + (qx >> 2);
    mOriginY = mPosY + (qy >> 2);
    const int phaseX = static_cast<int>(qx & 3);
    const int phaseY = static_cast<int>(qy & 3);

    TSpanKey key{};
    key.fontSerial = outline.fontSerial;
    key.offset = outline.fontSerial != 0 ? outline.offset : 0;
    key.phaseX = phaseX;
    key.phaseY = phaseY;
    key.scaleX = mScaleX;
    key.scaleY = mScaleY;
    key.cosine = mCos;
    key.sine = mSin;
    key.strokeWidth[0] = mStrokeWidth[0];
    key.strokeWidth[1] = mStrokeWidth[1];
    key.slant = mSlant ? 1 : 0;

    int64_t position = mCache.Find(key, outline.bytes, outline.size);
    if (position >= 0) {
        ++mStats.replayed;
        if (mTarget != nullptr) {
            for (;; ++position) {
                const TSpanRecord& span = mCache.At(position);
                if (span.coverage == 0xFF) break;
                AddToBatch(mOriginX + span.x0, mOriginX + span.x1, mOriginY + span.y,
                           mRamps[span.layer & 3][(span.coverage - 1) & 31]);
            }
            return;
        }
        // The line list, every frame for all static text: straight into the vertices.
        const float left = static_cast<float>(mOriginX);
        const float top = static_cast<float>(mOriginY) + mOffset[2];
        for (;; ++position) {
            const TSpanRecord& span = mCache.At(position);
            if (span.coverage == 0xFF) break;
            if (mVertexCount + 2 > mBatchSize) FlushBatch();
            const uint32_t color = mRamps[span.layer & 3][(span.coverage - 1) & 31];
            TTLVertex* v = mVertices + mVertexCount;
            v[0].x = left + static_cast<float>(span.x0) + mOffset[0];
            v[0].y = top + static_cast<float>(span.y);
            v[0].diffuse = color;
            v[1].x = left + static_cast<float>(span.x1) + mOffset[1];
            v[1].y = v[0].y;
            v[1].diffuse = color;
            mVertexCount += 2;
        }
        return;
    }

    ++mStats.rasterised;
    mCache.BeginRecord(key, outline.bytes, outline.size);
    mRecording = true;
    Rasterise(outline, phaseX, phaseY);
    if (mRecording) mCache.EndRecord();
    mRecording = false;
}

void TBvMiniVecDraw::EmitSpan(int x0, int x1, int y, int coverage, int layer) {
    coverage = std::clamp(coverage, 1, 16);
    if (mRecording) {
        TSpanRecord record{static_cast<int16_t>(x0), static_cast<int16_t>(x1),
                           static_cast<int16_t>(y), static_cast<uint8_t>(coverage),
                           static_cast<uint8_t>(layer)};
        mRecording = mCache.Add(record);
    }
    AddToBatch(mOriginX + x0, mOriginX + x1, mOriginY + y, mRamps[layer & 3][coverage - 1]);
}

void TBvMiniVecDraw::AddToBatch(int64_t x0, int64_t x1, int64_t y, uint32_t color) {
    if (mVertexCount + 2 > mBatchSize) FlushBatch();
    if (mTarget != nullptr) {
        // Texture pixels: anything beyond int range is far outside every texture.
        auto clip = [](int64_t v) {
            return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
        };
        mSpans[mVertexCount / 2] = PendingSpan{clip(x0), clip(x1), clip(y), color};
    } else {
        const float row = static_cast<float>(y) + mOffset[2];
        TTLVertex& a = mVertices[mVertexCount];
        TTLVertex& b = mVertices[mVertexCount + 1];
        a.x = static_cast<float>(x0) + mOffset[0];
        a.y = row;
        a.diffuse = color;
        b.x = static_cast<float>(x1) + mOffset[1];
        b.y = row;
        b.diffuse = color;
    }
    mVertexCount += 2;
}

void TBvMiniVecDraw::FlushBatch() {
    if (mVertexCount == 0) return;
    if (mTarget != nullptr) {
        FlushToTexture();
    } else {
        mBatch->SetCount(mVertexCount);
        TRenderer::GetInstance()->DrawVertices(TRenderer::kLineList, mBatch);
    }
    mVertexCount = 0;
}

void TBvMiniVecDraw::FlushToTexture() {
    const int spans = mVertexCount / 2;
    for (int i = 0; i < spans; ++i) {
        const PendingSpan& span = mSpans[i];
        if (span.y < 0 || span.y >= mHeight) continue;
        const int x0 = std::max(span.x0, 0);
        const int x1 = std::min(span.x1, mWidth);
        const uint32_t a = span.color >> 24;
        const uint32_t r = (span.color >> 16) & 255;
        const uint32_t g = (span.color >> 8) & 255;
        const uint32_t b = span.color & 255;
        uint32_t* row = mPixels + static_cast<ptrdiff_t>(span.y) * mPitch;
        for (int x = x0; x < x1; ++x) {
            const uint32_t d = row[x];
            const uint32_t ad = d >> 24;
            const uint32_t rd = (d >> 16) & 255;
            const uint32_t gd = (d >> 8) & 255;
            const uint32_t bd = d & 255;
            if (mReplace != 0) {
                row[x] = span.color;
            } else if (mBlend != 0) {
                // A span alpha of 0 adds nothing (and a transparent pixel has no colour to mix).
                if (a == 0) continue;
                const uint32_t sum = ad + a;
                const uint32_t nr = (rd * ad + r * a) / sum;
                const uint32_t ng = (gd * ad + g * a) / sum;
                const uint32_t nb = (bd * ad + b * a) / sum;
                row[x] = std::min<uint32_t>(sum, 255) << 24 | nr << 16 | ng << 8 | nb;
            } else {
                const uint32_t nr = (rd * (255 - a) + r * a) / 255;
                const uint32_t ng = (gd * (255 - a) + g * a) / 255;
                const uint32_t nb = (bd * (255 - a) + b * a) / 255;
                row[x] = ad << 24 | nr << 16 | ng << 8 | nb;
            }
        }
    }
}

void TBvMiniVecDraw::ReleaseTarget() {
    if (mTarget != nullptr) mTarget->Unlock();
    mTarget.reset();
    mPixels = nullptr;
    mWidth = mHeight = mPitch = 0;
}

void TBvMiniVecDraw::Flush() {
    FlushBatch();
    ReleaseTarget();
}
