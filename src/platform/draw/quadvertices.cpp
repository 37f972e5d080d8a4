#include "platform/draw/quadvertices.h"

#include "platform/draw/color.h"

[[gnu::hot]] void BuildQuadVertices(const TVec2& origin, TLVertex out[4], TVec2 corners[4],
                                    const TVec2 textureCoords[2], const TMat3& transform,
                                    float alpha, float red, float green, float blue) {
    for (int i = 0; i < 4; ++i)
        out[i] = TVertex{};
    uint32_t diffuse = TColor(red, green, blue, alpha).GetPacked();
    // Corner i takes u from the left (0) or right (1) entry, v from the top (0) or bottom (1).
    static const int kUSide[4] = {0, 1, 1, 0};
    static const int kVSide[4] = {0, 0, 1, 1};
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
