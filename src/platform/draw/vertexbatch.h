// The vertices the renderer draws, and TVertexBatch, the small descriptor that hands a list of
// them to TRenderer::DrawVertices: the list's vertex kind, where the vertices are and how many.
// The caller owns the vertices and keeps them alive for the call; the descriptor is a heap object
// of its own, freed with Free, which never frees the vertices.
#pragma once

#include <cstdint>

// A vertex the device lights and transforms (kinds 1 and 2): position, a reserved word, diffuse
// and specular colours as 0xAARRGGBB, texture coordinates.
struct TLVertex {
    float x, y, z;
    float reserved;
    uint32_t diffuse;
    uint32_t specular;
    float u, v;
};

// A vertex already in screen space (kind 3): position, reciprocal w, colours, texture
// coordinates.
struct TTLVertex {
    float x, y, z;
    float rhw;
    uint32_t diffuse;
    uint32_t specular;
    float u, v;
};

static_assert(sizeof(TLVertex) == 32 && sizeof(TTLVertex) == 32);

class TVertexBatch {
public:
    enum Kind : int32_t {
        kUnlitVertex = 0,  // position, normal, texture coordinates (no helper makes these)
        kLitVertex = 1,
        kLitVertexList = 2,  // TLVertex: textured quads, rectangle fills, shapes
        kScreenVertex = 3,   // TTLVertex: vector-font glyphs
    };

    static TVertexBatch* CreateKind2(TLVertex* vertices, int count);
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
