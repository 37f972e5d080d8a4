// TSound: a named sound, shared like every asset (foundation/asset.h). TSound::Get finds it in
// the asset manager under "path;preload;group" or makes it, so the same file asked for with
// another preload flag or another group is another sound; AssetCast<TSound> turns an asset into a
// sound. Decoding and playing come with the sound manager: until then a sound knows its path and
// its group, and a file that exists stands for its data.
//
// Main thread only.
#pragma once

#include <memory>

#include "foundation/asset.h"
#include "foundation/str.h"

class TSound : public TAssetKind<TSound, TAsset> {
public:
    const char* GetClassName() const override;

    // The sound of a file. A "?" ends the path; a "group=" after it gives the group (its leading
    // digits, 0 without any), which otherwise is defaultGroup. A sound of that path, preload
    // flag and group that is still alive is returned as it is; otherwise a new one is
    // registered. Empty for an empty name and, logged, when the file does not exist.
    static std::shared_ptr<TSound> Get(const str& name, bool preload, int defaultGroup);

    // The path, without what followed its "?".
    const str& GetName() const { return mPath; }
    int GetGroup() const { return mGroup; }

private:
    str mPath;
    int mGroup = 0;
};
