// The vertices the renderer draws, and TVertexBatch, the small descriptor that hands a list of
// them to TRenderer::DrawVertices: the list's vertex kind, where the vertices are and how many.
// The caller owns the vertices and keeps them alive for the call; the descriptor is a heap object
// of its own, freed with Free, which never frees the vertices (or, from Kind2, a plain value).
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/vertex.h"

// TVertex, the textured vertex of kinds 1 and 2, which the device transforms but does not light:
// position, a reserved word, diffuse and specular colours as 0xAARRGGBB (transparent black by
// default), texture coordinates; every part zero by default. The device hands it to the
// rasterizer as it is, so it is laid out exactly as raster::TLitVertex (checked below).
struct TVertex {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float reserved = 0.0f;
    uint32_t diffuse = 0;
    uint32_t specular = 0;
    float u = 0.0f, v = 0.0f;
};

static_assert(sizeof(TVertex) == 32 && sizeof(TVertex) == sizeof(raster::TLitVertex));
static_assert(offsetof(TVertex, x) == offsetof(raster::TLitVertex, x) &&
              offsetof(TVertex, y) == offsetof(raster::TLitVertex, y) &&
              offsetof(TVertex, z) == offsetof(raster::TLitVertex, z) &&
              offsetof(TVertex, reserved) == offsetof(raster::TLitVertex, reserved) &&
              offsetof(TVertex, diffuse) == offsetof(raster::TLitVertex, diffuse) &&
              offsetof(TVertex, specular) == offsetof(raster::TLitVertex, specular) &&
              offsetof(TVertex, u) == offsetof(raster::TLitVertex, u) &&
              offsetof(TVertex, v) == offsetof(raster::TLitVertex, v));

// The name the drawing code gives the lit vertex of its lists.
using TLVertex = TVertex;

// A vertex already in screen space (kind 3): position, reciprocal w, colours, texture
// coordinates.
struct TTLVertex {
    float x, y, z;
    float rhw;
    uint32_t diffuse;
    uint32_t specular;
    float u, v;
};

static_assert(sizeof(TTLVertex) == 32);

class TVertexBatch {
public:
    enum Kind : int32_t {
        kUnlitVertex = 0,  // position, normal, texture coordinates (no helper makes these)
        kLitVertex = 1,
        kLitVertexList = 2,  // TVertex: textured quads, rectangle fills, shapes
        kScreenVertex = 3,   // TTLVertex: vector-font glyphs
    };

    static TVertexBatch* CreateKind2(TVertex* vertices, int count);
    // The same descriptor as a value, for a caller that hands it to one draw at once (a textured
    // quad): no heap object for each draw.
    static TVertexBatch Kind2(TVertex* vertices, int count) {
        return TVertexBatch(kLitVertexList, vertices, count);
    }
    static TVertexBatch* CreateKind3(TTLVertex* vertices, int count);
    void SetCount(int count) { mCount = count; }
    // Frees the descriptor (null allowed), never the vertices.
    static void Free(TVertexBatch* batch);

    int32_t GetKind() const { return mKind; }
    void* GetVertices() const { return mVertices; }
    int GetCount() const { return mCount; }

private:
    TVertexBatch(int32_t kind, void* vertices, int count)
        : mKind(kind), mVertices(vertices), mCount(count) {}

    int32_t mKind;
    void* mVertices;
    int mCount;
};
