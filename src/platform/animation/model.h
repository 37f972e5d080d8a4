// TModel: a triangle mesh loaded from a ".mesh" file and shared as an asset. Holders read its
// vertex and index arrays; nothing draws them yet. The model has no device resources: Release
// does nothing and Restore reads the file again.
//
// A ".mesh" file, little-endian: the tag "TRIS", the vertex count V and the triangle count T
// (u16 each), V vertices of eight i16 values in thousandths (position x, y, z, normal x, y, z,
// u, v), then 3 × T u16 vertex indices. The indices are not checked against V: holders that
// draw will have to. A file shorter than its counts announce is refused.
//
// The model owns its TModelData. Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/asset.h"
#include "foundation/str.h"

struct TMeshVertex {
    float mX = 0.0f;
    float mY = 0.0f;
    float mZ = 0.0f;
    float mNormalX = 0.0f;
    float mNormalY = 0.0f;
    float mNormalZ = 0.0f;
    float mU = 0.0f;
    float mV = 0.0f;
};

struct TModelData {
    std::vector<TMeshVertex> mVertices;
    // Three per triangle.
    std::vector<uint16_t> mIndices;
    str mFileName;
};

class TModel : public TAssetKind<TModel, TAsset> {
public:
    TModel();
    ~TModel() override;

    const char* GetClassName() const override { return "TModel"; }
    // Reads the file again, when one was read.
    void Restore() override;

    // The model of that name (the asset manager's key), cached or loaded now; a new model is
    // registered only once it loaded. Empty on failure.
    static std::shared_ptr<TModel> Get(const str& name);

    // Reads the mesh file: a name without ".mesh" (exactly so) fails silently, a file that does
    // not open is logged, a wrong tag or a short file fails silently and leaves empty model data.
    bool Init(const char* fileName);
    void FreeData();
    // Null before the first Init.
    const TModelData* GetData() const { return mData.get(); }

private:
    std::unique_ptr<TModelData> mData;
};
