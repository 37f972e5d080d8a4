// The typical frame composited by pixman, for comparison: the background with OVER (pixman sees
// the opaque source and copies), the sprites as premultiplied images with OVER, faded ones
// through a solid mask, scaled and rotated ones through a bilinear transform over their bounding
// box, and each glyph span as a one-row OVER of a solid colour.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <map>
#include <vector>

#include "parts.h"
#include "scene.h"

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

class PixmanFrame {
public:
    PixmanFrame() {
        const bench::Scene& scene = bench::GetScene();
        mTargetBits.resize(bench::kWidth * bench::kHeight);
        mTarget = pixman_image_create_bits(PIXMAN_x8r8g8b8, bench::kWidth, bench::kHeight,
                                           mTargetBits.data(), bench::kWidth * 4);
        mBackgroundBits = scene.background;
        mBackground = pixman_image_create_bits(PIXMAN_x8r8g8b8, bench::kWidth, bench::kHeight,
                                               mBackgroundBits.data(), bench::kWidth * 4);
        for (const auto& image : scene.spriteImages) {
            std::vector<uint32_t> bits(image.size());
            for (size_t i = 0; i < image.size(); ++i)
                bits[i] = Premultiply(image[i]);
            mSpriteBits.push_back(std::move(bits));
        }
        for (const bench::Sprite& sp : scene.sprites) {
            Instance in{};
            in.kind = static_cast<int>(sp.kind);
            in.image =
                pixman_image_create_bits(PIXMAN_a8r8g8b8, bench::kSpriteSide, bench::kSpriteSide,
                                         mSpriteBits[sp.image].data(), bench::kSpriteSide * 4);
            if (sp.kind == bench::SpriteKind::Plain || sp.kind == bench::SpriteKind::Faded) {
                in.x = static_cast<int>(sp.x);
                in.y = static_cast<int>(sp.y);
                in.w = in.h = bench::kSpriteSide;
                if (sp.kind == bench::SpriteKind::Faded) {
                    pixman_color_t alpha{0, 0, 0, static_cast<uint16_t>(sp.alpha * 257)};
                    in.mask = pixman_image_create_solid_fill(&alpha);
                }
            } else {
                // Destination to source: undo the rotation and the scale around the centre.
                double c = std::cos(sp.angle), s = std::sin(sp.angle), k = sp.scale;
                double half = bench::kSpriteSide / 2.0;
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
        for (const bench::Span& span : scene.spans) {
            if (mSolids.count(span.color)) continue;
            pixman_color_t color = SolidColor(span.color);
            mSolids[span.color] = pixman_image_create_solid_fill(&color);
        }
    }

    ~PixmanFrame() {
        for (Instance& in : mInstances) {
            pixman_image_unref(in.image);
            if (in.mask) pixman_image_unref(in.mask);
        }
        for (auto& entry : mSolids)
            pixman_image_unref(entry.second);
        pixman_image_unref(mBackground);
        pixman_image_unref(mTarget);
    }

    void DrawFrame() {
        DrawBackground();
        DrawSprites();
        DrawSpans();
    }

    void DrawBackground() {
        pixman_image_composite32(PIXMAN_OP_OVER, mBackground, nullptr, mTarget, 0, 0, 0, 0, 0, 0,
                                 bench::kWidth, bench::kHeight);
    }

    // All sprites, or only those of one kind.
    void DrawSprites(int kind = -1) {
        for (const Instance& in : mInstances) {
            if (kind >= 0 && in.kind != kind) continue;
            int sx = in.transformed ? in.x : 0;
            int sy = in.transformed ? in.y : 0;
            pixman_image_composite32(PIXMAN_OP_OVER, in.image, in.mask, mTarget, sx, sy, 0, 0, in.x,
                                     in.y, in.w, in.h);
        }
    }

    void DrawSpans() {
        for (const bench::Span& span : bench::GetScene().spans) {
            pixman_image_composite32(PIXMAN_OP_OVER, mSolids[span.color], nullptr, mTarget, 0, 0, 0,
                                     0, span.x0, span.y, span.x1 - span.x0, 1);
        }
    }

    const uint32_t* Pixels() const { return mTargetBits.data(); }

private:
    struct Instance {
        pixman_image_t* image;
        pixman_image_t* mask;
        int x, y, w, h;
        bool transformed;
        int kind;
    };
    std::vector<uint32_t> mTargetBits;
    std::vector<uint32_t> mBackgroundBits;
    std::vector<std::vector<uint32_t>> mSpriteBits;
    std::vector<Instance> mInstances;
    std::map<uint32_t, pixman_image_t*> mSolids;
    pixman_image_t* mTarget;
    pixman_image_t* mBackground;
};

void BM_PixmanFrame(benchmark::State& state) {
    PixmanFrame frame;
    bench::RunFrames(state, frame);
}

void BM_PixmanPart(benchmark::State& state) {
    PixmanFrame frame;
    bench::RunPart(state, frame);
}

void BM_PixmanSprites(benchmark::State& state) {
    PixmanFrame frame;
    bench::RunSprites(state, frame);
}

}  // namespace

BENCHMARK(BM_PixmanSprites)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixmanFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PixmanPart)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
