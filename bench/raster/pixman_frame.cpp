#include "pixman_frame.h"

#include <algorithm>
#include <cmath>

#include "scene.h"

namespace bench {

namespace {

uint32_t Premultiply(uint32_t c) {
    uint32_t a = c >> 24;
    auto mul = [&](int shift) { return ((c >> shift & 0xFF) * a + 127) / 255 << shift; };
    return a << 24 | mul(16) | mul(8) | mul(0);
}

pixman_color_t SolidColor(uint32_t argb) {
    uint32_t p = Premultiply(argb);
    auto wide = [&](int shift) { return static_cast<uint16_t>((p >> shift & 0xFF) * 257); };
    return pixman_color_t{wide(16), wide(8), wide(0), wide(24)};
}

}  // namespace

PixmanFrame::PixmanFrame() {
    const Scene& scene = GetScene();
    mTargetBits.resize(kWidth * kHeight);
    mTarget =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, mTargetBits.data(), kWidth * 4);
    mBackgroundBits = scene.background;
    mBackground = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, mBackgroundBits.data(),
                                           kWidth * 4);
    for (const auto& image : scene.spriteImages) {
        std::vector<uint32_t> bits(image.size());
        for (size_t i = 0; i < image.size(); ++i)
            bits[i] = Premultiply(image[i]);
        mSpriteBits.push_back(std::move(bits));
    }
    for (const Sprite& sp : scene.sprites) {
        Instance in{};
        in.kind = static_cast<int>(sp.kind);
        in.image = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSpriteSide, kSpriteSide,
                                            mSpriteBits[sp.image].data(), kSpriteSide * 4);
        if (sp.kind == SpriteKind::Plain || sp.kind == SpriteKind::Faded) {
            in.x = static_cast<int>(sp.x);
            in.y = static_cast<int>(sp.y);
            in.w = in.h = kSpriteSide;
            if (sp.kind == SpriteKind::Faded) {
                pixman_color_t alpha{0, 0, 0, static_cast<uint16_t>(sp.alpha * 257)};
                in.mask = pixman_image_create_solid_fill(&alpha);
            }
        } else {
            // Destination to source: undo the rotation and the scale around the centre.
            double c = std::cos(sp.angle), s = std::sin(sp.angle), k = sp.scale;
            double half = kSpriteSide / 2.0;
            pixman_transform_t t;
            t.matrix[0][0] = pixman_double_to_fixed(c / k);
            t.matrix[0][1] = pixman_double_to_fixed(s / k);
            t.matrix[0][2] = pixman_double_to_fixed(half - (c * sp.x + s * sp.y) / k);
            t.matrix[1][0] = pixman_double_to_fixed(-s / k);
            t.matrix[1][1] = pixman_double_to_fixed(c / k);
            t.matrix[1][2] = pixman_double_to_fixed(half - (-s * sp.x + c * sp.y) / k);
            t.matrix[2][0] = t.matrix[2][1] = 0;
            t.matrix[2][2] = pixman_fixed_1;
            pixman_image_set_transform(in.image, &t);
            pixman_image_set_filter(in.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
            double reach = half * k * (std::fabs(c) + std::fabs(s));
            in.x = static_cast<int>(std::floor(sp.x - reach));
            in.y = static_cast<int>(std::floor(sp.y - reach));
            in.w = in.h = static_cast<int>(std::ceil(2 * reach)) + 1;
            in.transformed = true;
        }
        mInstances.push_back(in);
    }
    for (const Span& span : scene.spans) {
        if (!mSolids.count(span.color)) {
            pixman_color_t color = SolidColor(span.color);
            mSolids[span.color] = pixman_image_create_solid_fill(&color);
        }
        mSpanSolids.push_back(mSolids[span.color]);
    }
}

PixmanFrame::~PixmanFrame() {
    for (Instance& in : mInstances) {
        pixman_image_unref(in.image);
        if (in.mask) pixman_image_unref(in.mask);
    }
    for (auto& entry : mSolids)
        pixman_image_unref(entry.second);
    pixman_image_unref(mBackground);
    pixman_image_unref(mTarget);
}

void PixmanFrame::DrawFrame(bool rotated) {
    DrawBackground();
    DrawSprites(-1, rotated);
    DrawSpans();
}

void PixmanFrame::DrawBackground() {
    pixman_image_composite32(PIXMAN_OP_OVER, mBackground, nullptr, mTarget, 0, 0, 0, 0, 0, 0,
                             kWidth, kHeight);
}

void PixmanFrame::DrawSprites(int kind, bool rotated) {
    for (const Instance& in : mInstances) {
        if (kind >= 0 && in.kind != kind) continue;
        if (!rotated && in.kind == static_cast<int>(SpriteKind::Rotated)) continue;
        int sx = in.transformed ? in.x : 0;
        int sy = in.transformed ? in.y : 0;
        pixman_image_composite32(PIXMAN_OP_OVER, in.image, in.mask, mTarget, sx, sy, 0, 0, in.x,
                                 in.y, in.w, in.h);
    }
}

void PixmanFrame::DrawSpans() {
    const std::vector<Span>& spans = GetScene().spans;
    for (size_t i = 0; i < spans.size(); ++i) {
        const Span& span = spans[i];
        pixman_image_composite32(PIXMAN_OP_OVER, mSpanSolids[i], nullptr, mTarget, 0, 0, 0, 0,
                                 span.x0, span.y, span.x1 - span.x0, 1);
    }
}

void PixmanFrame::SetPixels(const std::vector<uint32_t>& pixels) {
    std::copy_n(pixels.begin(), std::min(pixels.size(), mTargetBits.size()), mTargetBits.begin());
}

}  // namespace bench
