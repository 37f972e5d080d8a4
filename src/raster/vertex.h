// The three vertex formats a draw call accepts. Each vertex is 32 bytes of 32-bit fields; the
// caller keeps the vertices alive for the call only.
#pragma once

#include <cstdint>

namespace raster {

enum class TVertexFormat : uint8_t {
    Unlit,        // TUnlitVertex: transformed, lit from the material, no colour of its own
    Lit,          // TLitVertex: transformed, colours given
    Transformed,  // TTransformedVertex: already in screen pixels, colours given
};

struct TUnlitVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

struct TLitVertex {
    float x, y, z;
    uint32_t reserved;
    uint32_t diffuse;   // 0xAARRGGBB
    uint32_t specular;  // 0xAARRGGBB; only red, green and blue are used
    float u, v;
};

// x and y are screen pixels (pixel centres on integers), z the depth in 0..1, rhw the reciprocal
// of w: it only steers perspective-correct interpolation and never scales the position.
struct TTransformedVertex {
    float x, y, z;
    float rhw;
    uint32_t diffuse;
    uint32_t specular;
    float u, v;
};

static_assert(sizeof(TUnlitVertex) == 32 && sizeof(TLitVertex) == 32 &&
              sizeof(TTransformedVertex) == 32);

}  // namespace raster
