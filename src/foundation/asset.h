// TAsset: the base of everything loaded from a file that several holders may share (textures,
// animated textures, meshes, compiled scripts, sounds). An asset is always created into a
// std::shared_ptr and lives until its last holder lets go; the asset manager (assetmanager.h) only
// keeps weak references, so it finds an asset while it is alive without keeping it alive.
//
// Every asset class has a class id (its static TypeId) and answers IsKindOf for its own id and
// its bases' ids; TAssetKind below writes both. AssetCast turns any asset pointer into a shared
// pointer of a given kind that shares ownership with the existing holders, or into an empty one
// when the asset is of another kind (or was not made into a shared_ptr).
//
// Release and Restore bracket a loss of the display device: an asset that holds device resources
// gives them up and builds them again. Assets are used on the main thread only.
#pragma once

#include <memory>

// Compared for equality only: the address of a per-class marker.
using TAssetClassId = const void*;

class TAsset : public std::enable_shared_from_this<TAsset> {
public:
    TAsset() = default;
    TAsset(const TAsset&) = delete;
    TAsset& operator=(const TAsset&) = delete;
    virtual ~TAsset() = default;

    static TAssetClassId TypeId();

    virtual const char* GetClassName() const;
    // True for the id of this class or of any of its bases. A derived class answers its own id
    // and otherwise asks its base.
    virtual bool IsKindOf(TAssetClassId id) const;
    // Give up device-dependent resources; the base has none.
    virtual void Release() {}
    // Rebuild what Release gave up.
    virtual void Restore() {}
};

// The class id and the kind chain of an asset class, written once: a class derives from
// TAssetKind<itself, its base> instead of its base (class TSound : public TAssetKind<TSound,
// TAsset>) and gets its own TypeId and an IsKindOf that answers its id, then asks the base.
template <class Self, class Base>
class TAssetKind : public Base {
public:
    using Base::Base;

    static TAssetClassId TypeId() {
        static const char marker = 0;
        return &marker;
    }
    bool IsKindOf(TAssetClassId id) const override { return id == TypeId() || Base::IsKindOf(id); }
};

template <class T>
std::shared_ptr<T> AssetCast(const TAsset* asset) {
    if (asset == nullptr || !asset->IsKindOf(T::TypeId())) return nullptr;
    std::shared_ptr<TAsset> shared =
        std::const_pointer_cast<TAsset>(asset->weak_from_this().lock());
    return std::static_pointer_cast<T>(shared);
}

template <class T>
std::shared_ptr<T> AssetCast(const std::shared_ptr<TAsset>& asset) {
    return AssetCast<T>(asset.get());
}
