#include "gv/hittest/gvalphahittester.h"

#include <algorithm>

#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvtexture.h"
#include "platform/draw/color.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"

namespace {

// Alpha above this is opaque.
constexpr uint8_t kOpaqueAbove = 80;

}  // namespace

// A locked texture: the surface's pixels and how far they reach. Unlocks when it goes.
struct GVAlphaHitTester::TextureLock {
    std::shared_ptr<TTexture> texture;
    uint32_t* pixels = nullptr;
    int64_t pitch = 0;
    // The readable part of the surface: rows of pitch pixels, of which width are the surface's.
    int64_t width = 0;
    int64_t height = 0;

    ~TextureLock() { texture->Unlock(); }
};

// One pass over the rows of the rectangle (surface pixels, inside the surface): each row's first
// opaque pixel from the left and last from the right, then, between the two only, the columns'
// first and last opaque rows. Spans are kept in frame pixels and widened as the mask wants.
void GVAlphaHitTester::BuildSpans(const TextureLock& lock, int64_t left, int64_t top,
                                  int64_t right, int64_t bottom, const GVFrame& frame,
                                  Mask& mask) {
    const int64_t columns = right - left;
    const int64_t rows = bottom - top;
    mask.rows.resize(static_cast<size_t>(rows));
    mask.columns.resize(static_cast<size_t>(columns));
    const int64_t toFrameX = left - frame.left;
    const int64_t toFrameY = top - frame.top;
    for (int64_t r = 0; r < rows; ++r) {
        const uint32_t* pixels = lock.pixels + (top + r) * lock.pitch + left;
        int64_t first = 0;
        while (first < columns && TColor::GetAlpha(pixels[first]) <= kOpaqueAbove)
            ++first;
        if (first == columns) continue;
        int64_t last = columns - 1;
        while (TColor::GetAlpha(pixels[last]) <= kOpaqueAbove)
            --last;
        const int64_t y = toFrameY + r;
        for (int64_t c = first; c <= last; ++c) {
            if (TColor::GetAlpha(pixels[c]) <= kOpaqueAbove) continue;
            Span& column = mask.columns[static_cast<size_t>(c)];
            if (column.first == -1) column.first = y;
            column.last = y;
        }
        Span& span = mask.rows[static_cast<size_t>(r)];
        span.first = toFrameX + first;
        span.last = toFrameX + last;
        if (span.first > 0) --span.first;
    }
    const int64_t height = frame.GetHeight();
    for (Span& column : mask.columns) {
        if (column.first == -1) continue;
        if (column.first > 0) --column.first;
        if (column.last + 1 < height) ++column.last;
    }
}

GVAlphaHitTester::GVAlphaHitTester() = default;

GVAlphaHitTester::~GVAlphaHitTester() {
    ReleaseLock();
}

void GVAlphaHitTester::ReleaseLock() {
    mLock.reset();
}

bool GVAlphaHitTester::Build(GVObject* object) {
    mObject = object;
    mLockedImage = -1;
    ReleaseLock();
    mMasks.clear();
    if (object == nullptr) return false;
    GVFrames* frames = object->GetFrames().get();
    if (frames == nullptr || frames->GetCount() == 0) return true;
    const int32_t count = frames->GetCount();
    mMasks.resize(static_cast<size_t>(count));

    // Grouped by image: each pass builds the frames of one image, from the first frame whose
    // image the pass before did not have. A frame met again in a later pass already has its
    // mask, which would come out the same, and is skipped.
    int32_t start = 0;
    while (start >= 0 && start < count) {
        const int32_t image = frames->GetAt(start)->image;
        const int32_t first = start;
        start = -1;
        for (int32_t i = first; i < count; ++i) {
            if (frames->GetAt(i)->image == image) {
                if (mMasks[static_cast<size_t>(i)] == nullptr) BuildFrameMask(i, i != count - 1);
            } else if (start == -1) {
                start = i;
            }
        }
    }
    // The last frame lets go of its lock, unless it was skipped.
    mLockedImage = -1;
    ReleaseLock();
    return true;
}

void GVAlphaHitTester::BuildFrameMask(int32_t i, bool keepLocked) {
    if (mObject == nullptr || mObject->GetFrames() == nullptr) return;
    GVFrames& frames = *mObject->GetFrames();
    if (i < 0 || i >= frames.GetCount()) return;
    if (mMasks.size() < static_cast<size_t>(frames.GetCount()))
        mMasks.resize(static_cast<size_t>(frames.GetCount()));
    const GVFrame& frame = *frames.GetAt(i);

    if (mLockedImage != frame.image) {
        ReleaseLock();
        mLockedImage = frame.image;
        const GVTextures* textures = mObject->GetTextures().get();
        if (textures != nullptr && frame.image >= 0 && frame.image < textures->GetCount()) {
            std::shared_ptr<TTexture> texture = textures->GetAt(frame.image)->texture;
            uint32_t* pixels = nullptr;
            int pitch = 0;
            if (texture != nullptr && texture->Lock(&pixels, &pitch)) {
                mLock = std::make_unique<TextureLock>();
                mLock->texture = texture;
                mLock->pixels = pixels;
                mLock->pitch = pitch;
                const TTextureData* data = texture->GetData();
                if (pixels != nullptr && pitch > 0 && data != nullptr) {
                    mLock->width = std::min<int64_t>(pitch, data->GetSurfaceWidth());
                    mLock->height = data->GetSurfaceHeight();
                }
            }
        }
    }

    auto mask = std::make_unique<Mask>();
    const int64_t width = frame.GetWidth();
    const int64_t height = frame.GetHeight();
    if (width > 0 && height > 0) {
        mask->width = width;
        mask->height = height;
        // The part of the frame on the surface, in surface pixels; nothing without a surface.
        const int64_t surfaceWidth = mLock != nullptr ? mLock->width : 0;
        const int64_t surfaceHeight = mLock != nullptr ? mLock->height : 0;
        const int64_t left = std::max<int64_t>(frame.left, 0);
        const int64_t right = std::min<int64_t>(frame.right, surfaceWidth);
        const int64_t top = std::max<int64_t>(frame.top, 0);
        const int64_t bottom = std::min<int64_t>(frame.bottom, surfaceHeight);
        if (left < right && top < bottom) {
            mask->columnStart = left - frame.left;
            mask->rowStart = top - frame.top;
            BuildSpans(*mLock, left, top, right, bottom, frame, *mask);
        }
    }
    mMasks[static_cast<size_t>(i)] = std::move(mask);

    if (!keepLocked) {
        mLockedImage = -1;
        ReleaseLock();
    }
}

const GVAlphaHitTester::Mask* GVAlphaHitTester::GetMask(int32_t i) const {
    if (i < 0 || static_cast<size_t>(i) >= mMasks.size()) return nullptr;
    return mMasks[static_cast<size_t>(i)].get();
}

bool GVAlphaHitTester::HitTest(int32_t x, int32_t y, const GVFrame& frame) {
    const Mask* mask = GetMask(frame.index);
    if (mask == nullptr) return false;
    if (x < 0 || y < 0 || x >= mask->width || y >= mask->height) return false;
    // Rows and columns off the surface have no opaque pixel.
    const int64_t row = y - mask->rowStart;
    const int64_t column = x - mask->columnStart;
    if (row < 0 || row >= static_cast<int64_t>(mask->rows.size()) || column < 0 ||
        column >= static_cast<int64_t>(mask->columns.size()))
        return false;
    const Span& rowSpan = mask->rows[static_cast<size_t>(row)];
    const Span& columnSpan = mask->columns[static_cast<size_t>(column)];
    if (rowSpan.first == -1 || columnSpan.first == -1) return false;
    return rowSpan.first <= x && x <= rowSpan.last && columnSpan.first <= y &&
           y <= columnSpan.last;
}
