// TAssetMap: the assets one holder keeps alive for as long as it lives, by the names it gave
// (a text field's typing sounds, the game's sound effects). AddAsset resolves a name to a file,
// trying the standard extensions for a name that is not a file itself, picks the asset kind
// from the file's extension, reuses the asset the asset manager knows or loads it with the
// kind's loader, and keeps a strong reference under the name.
//
// Names keep their query part ("?group=1000"): the entry is stored under the name as given
// (backslashes as slashes), and that is the name to ask for.
//
// The map is a member of its holder. Main thread only.
#pragma once

#include <map>
#include <memory>

#include "foundation/str.h"

class TAsset;
class TSound;

class TAssetMap {
public:
    TAssetMap();
    TAssetMap(const TAssetMap&) = delete;
    TAssetMap& operator=(const TAssetMap&) = delete;
    virtual ~TAssetMap();

    // With an asset: stores it under the name. Without: finds or loads the asset the name
    // stands for and stores it; failures are logged unless quiet, and store nothing.
    void AddAsset(str name, std::shared_ptr<TAsset> asset, bool quiet);
    // AddAsset of each name, up to a null entry, not quiet.
    void AddAssets(const char* const* names);
    // The sound stored under the name; empty, without a message, for an asset of another kind.
    // A name not held leaves an empty entry behind and is loaded first when mLoadOnDemand is
    // set; still without an asset it is logged.
    std::shared_ptr<TSound> GetSound(str name);

    // The asset manager's key of a sound: "name;0;group", the group read from "group=" in the
    // query part (its leading digits), else 0.
    static str MakeSoundKey(const str& name, const str& query);

    // The full name (query part included) to the asset held.
    std::map<str, std::shared_ptr<TAsset>> mAssets;
    // Set by the holder: GetSound loads sounds not added yet.
    bool mLoadOnDemand = false;
};
