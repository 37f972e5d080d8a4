// The state a draw call reads: render states, the stage-0 texture combiner and sampler states,
// transforms, viewport and material. Plain values owned by the caller of the rasterizer (the
// port's device keeps one TRenderState and hands it over with each change).
//
// The enumerations keep the numbering of the device interface the program was written against,
// so the port layer can pass its values straight through; each field starts at that device's
// default.
#pragma once

#include <cstdint>

#include "math/mat4.h"

namespace raster {

enum class TPrimitive : uint8_t {
    PointList = 1,  // not drawn
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
    TriangleFan = 6,
};

enum class TBlend : uint8_t {
    Zero = 1,
    One = 2,
    SrcColor = 3,
    InvSrcColor = 4,
    SrcAlpha = 5,
    InvSrcAlpha = 6,
    DestAlpha = 7,
    InvDestAlpha = 8,
    DestColor = 9,
    InvDestColor = 10,
};

enum class TCompare : uint8_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};

// Which screen winding is removed. Clockwise is judged on the screen, y pointing down.
enum class TCull : uint8_t { None = 1, Clockwise = 2, CounterClockwise = 3 };

enum class TShade : uint8_t { Flat = 1, Gouraud = 2 };

enum class TTextureOp : uint8_t {
    Disable = 1,  // the stage passes CURRENT on (on stage 0: the diffuse colour)
    SelectArg1 = 2,
    SelectArg2 = 3,
    Modulate = 4,
    Modulate2x = 5,
    Modulate4x = 6,
    Add = 7,
};

// Combiner arguments: one source plus optional modifier bits.
namespace arg {
constexpr uint32_t kDiffuse = 0;
constexpr uint32_t kCurrent = 1;  // on stage 0 the same as kDiffuse
constexpr uint32_t kTexture = 2;  // white with alpha 255 when no texture is bound
constexpr uint32_t kTFactor = 3;
constexpr uint32_t kSpecular = 4;
constexpr uint32_t kSourceMask = 0x0F;
constexpr uint32_t kComplement = 0x10;      // 255 - value, channel by channel
constexpr uint32_t kAlphaReplicate = 0x20;  // alpha copied into red, green and blue
}  // namespace arg

enum class TAddress : uint8_t { Wrap = 1, Mirror = 2, Clamp = 3 };
enum class TFilter : uint8_t { Point = 1, Linear = 2 };
enum class TMipFilter : uint8_t { None = 1, Point = 2, Linear = 3 };

// Stage 0 of the texture combiner and its sampler.
struct TStageState {
    TTextureOp colorOp = TTextureOp::Modulate;
    uint32_t colorArg1 = arg::kTexture;
    uint32_t colorArg2 = arg::kCurrent;
    TTextureOp alphaOp = TTextureOp::SelectArg1;
    uint32_t alphaArg1 = arg::kTexture;
    uint32_t alphaArg2 = arg::kCurrent;
    TAddress addressU = TAddress::Wrap;
    TAddress addressV = TAddress::Wrap;
    TFilter magFilter = TFilter::Point;
    TFilter minFilter = TFilter::Point;
    TMipFilter mipFilter = TMipFilter::None;
};

struct TRenderState {
    bool zEnable = false;
    bool zWriteEnable = true;
    TCompare zFunc = TCompare::LessEqual;
    bool alphaTestEnable = false;
    uint32_t alphaRef = 0;  // the low 8 bits are compared
    TCompare alphaFunc = TCompare::Always;
    bool alphaBlendEnable = false;
    TBlend srcBlend = TBlend::One;
    TBlend destBlend = TBlend::Zero;
    TCull cullMode = TCull::CounterClockwise;
    TShade shadeMode = TShade::Gouraud;
    bool specularEnable = false;
    bool clipping = true;    // near and far planes; the viewport scissor applies regardless
    bool lighting = true;    // only the unlit vertex format is lit
    bool antialias = false;  // accepted and ignored
    uint32_t ambient = 0;    // 0xAARRGGBB
    uint32_t textureFactor = 0xFFFFFFFF;
    TStageState stage0;
};

// The device viewport: the pixel rectangle [x, x + width) x [y, y + height) and the depth range.
struct TViewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

struct TColorF {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

struct TMaterial {
    TColorF diffuse;
    TColorF ambient;
    TColorF specular;
    TColorF emissive;
    float power = 0.0f;
};

// World, view and projection, applied to row vectors in that order: clip = v x W x V x P.
struct TTransforms {
    TMat4 world;
    TMat4 view;
    TMat4 projection;
};

}  // namespace raster
