// TAssetManager: the registry that lets a second request for an asset find the first one while it
// is alive. It maps asset keys (ordered by str comparison, case-sensitive) to weak references and
// never owns an asset: an entry outlives its asset as an expired reference until ReleaseAll prunes
// it. The key is chosen by each asset kind ("name:tex" for a texture, "%s;%d;%d" for a sound...).
//
// The application object creates the one manager of the program, installs it with
// SetAssetManager at start-up and removes it at teardown; GetAssetManager answers null outside
// that span, so code that runs late (an asset destroyed after the application object) must test
// for null. Tests may make managers of their own.
//
// Main thread only.
#pragma once

#include <map>
#include <memory>

#include "foundation/str.h"

class TAsset;

class TAssetManager {
public:
    TAssetManager() = default;
    TAssetManager(const TAssetManager&) = delete;
    TAssetManager& operator=(const TAssetManager&) = delete;
    virtual ~TAssetManager() = default;

    // The live asset under key, or empty. An absent key gets an (expired) entry.
    std::shared_ptr<TAsset> FindAsset(const str& key);
    // Registers a weak reference under key, replacing the key's entry. An empty pointer leaves an
    // entry that answers empty.
    void AddAsset(const str& key, std::shared_ptr<TAsset> asset);
    // The key's entry, an expired one made for an absent key: FindAsset and AddAsset under one
    // key with a single search. The reference holds until the entry is erased (RemoveAsset,
    // ReleaseAll), so a caller assigns it before anything that may reach the manager again.
    std::weak_ptr<TAsset>& Entry(const str& key);
    // Erases the key's entry; an absent key is ignored.
    void RemoveAsset(const str& key);
    // Before the display device goes: Release on every live asset, in key order; expired entries
    // are erased (the only place they are).
    void ReleaseAll();
    // After the device is back: Restore on every live asset, in key order; expired entries stay.
    void RestoreAll();

    size_t GetEntryCount() const { return mAssets.size(); }
    bool HasEntry(const str& key) const { return mAssets.count(key) != 0; }

private:
    std::map<str, std::weak_ptr<TAsset>> mAssets;
};

// The application's manager, or null while there is no application object.
TAssetManager* GetAssetManager();
// The application object's hook: installs its manager (null removes it).
void SetAssetManager(TAssetManager* manager);
