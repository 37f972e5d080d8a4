#include "foundation/assetmanager.h"

#include "foundation/asset.h"

namespace {

TAssetManager* gManager = nullptr;

}  // namespace

TAssetManager* GetAssetManager() {
    return gManager;
}

void SetAssetManager(TAssetManager* manager) {
    gManager = manager;
}

std::shared_ptr<TAsset> TAssetManager::FindAsset(const str& key) {
    return Entry(key).lock();
}

void TAssetManager::AddAsset(const str& key, std::shared_ptr<TAsset> asset) {
    mAssets[key] = asset;
}

std::weak_ptr<TAsset>& TAssetManager::Entry(const str& key) {
    return mAssets[key];
}

void TAssetManager::RemoveAsset(const str& key) {
    mAssets.erase(key);
}

// Both walks find the next entry by key after each call, so an asset that adds or erases entries
// from Release, Restore or its destructor cannot derail them.
void TAssetManager::ReleaseAll() {
    for (auto it = mAssets.begin(); it != mAssets.end();) {
        std::shared_ptr<TAsset> asset = it->second.lock();
        if (asset == nullptr) {
            it = mAssets.erase(it);
            continue;
        }
        str key = it->first;
        asset->Release();
        asset.reset();
        it = mAssets.upper_bound(key);
    }
}

void TAssetManager::RestoreAll() {
    for (auto it = mAssets.begin(); it != mAssets.end();) {
        str key = it->first;
        if (std::shared_ptr<TAsset> asset = it->second.lock()) asset->Restore();
        it = mAssets.upper_bound(key);
    }
}
