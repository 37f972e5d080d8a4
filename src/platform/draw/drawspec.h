// TDrawSpec: how a texture is drawn as a sprite, the description the visual objects hand to
// TTexture::Draw: where (a transform), from which registration point (an offset), in which colour
// and opacity, which part of the image (a source rectangle), flipped or not, with which blend
// mode. A plain value; the visual-object engine changes copies of it freely.
#pragma once

#include <cstdint>

#include "math/mat3.h"
#include "math/rect.h"
#include "math/vec2.h"
#include "math/vec4.h"

class TDrawSpec {
public:
    enum : uint32_t {
        kFlipHorizontal = 1,
        kFlipVertical = 2,
        kUseSourceRect = 4,
        // The offset is the registration point instead of the image's centre.
        kUseOffset = 8,
    };
    // The blend mode that keeps the renderer's current one.
    static constexpr int32_t kKeepBlendMode = -1;

    TDrawSpec() = default;
    // Translated to (x, y); the scale, when not 1.0, applied to the transform (TMat3::Scale).
    TDrawSpec(float x, float y, float opacity, float scale, uint32_t flags);
    TDrawSpec(const TDrawSpec& other) = default;
    TDrawSpec& operator=(const TDrawSpec& other) = default;

    TMat3 mTransform;
    TVec2 mOffset;
    // Red, green, blue and a fourth value, each 1.0.
    TVec4 mColor{1.0f, 1.0f, 1.0f, 1.0f};
    float mOpacity = 1.0f;
    TRect mSourceRect;
    uint32_t mFlags = 0;
    int32_t mBlendMode = kKeepBlendMode;
};
