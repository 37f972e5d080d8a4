// BuildQuadVertices: the four vertices of a textured quad, drawn as a triangle fan in corner
// order (left top, right top, right bottom, left bottom by the texture coordinates).
//
// Each corner is transformed by the matrix (x' = x·m0 + y·m3 + m6, y' = x·m1 + y·m4 + m7) and
// written back to the caller's corners (without the origin); the vertex sits at the transformed
// corner plus the origin, at depth 0.1, reserved word 0.5, specular 0xFF000000. The diffuse
// colour is TColor of the colour and alpha, each × 255 truncated and held to 0..255 (a colour
// brightened above 1.0 stays white instead of wrapping to dark).
#pragma once

#include <cstdint>

#include "math/mat3.h"
#include "math/vec2.h"
#include "platform/draw/color.h"
#include "platform/draw/vertexbatch.h"

// textureCoords[0] holds the left u and top v, textureCoords[1] the right u and bottom v.
// Inline, and every field written once: a caller's vertex array then needs no clearing first
// (every sprite drawn builds one).
inline void BuildQuadVertices(const TVec2& origin, TLVertex out[4], TVec2 corners[4],
                              const TVec2 textureCoords[2], const TMat3& transform, float alpha,
                              float red, float green, float blue) {
    const uint32_t diffuse = TColor(red, green, blue, alpha).GetPacked();
    // Corner i takes u from the left (0) or right (1) entry, v from the top (0) or bottom (1).
    constexpr int kUSide[4] = {0, 1, 1, 0};
    constexpr int kVSide[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        corners[i] = TMat3::TransformPoint(corners[i], transform);
        TLVertex& vertex = out[i];
        vertex.x = corners[i].x + origin.x;
        vertex.y = corners[i].y + origin.y;
        vertex.z = 0.1f;
        vertex.reserved = 0.5f;
        vertex.diffuse = diffuse;
        vertex.specular = 0xFF000000u;
        vertex.u = textureCoords[kUSide[i]].x;
        vertex.v = textureCoords[kVSide[i]].y;
    }
}
