// TSound: the sound asset. Sounds are shared like every asset (foundation/asset.h) and found in
// the asset manager under keys of the form "%s;%d;%d"; AssetCast<TSound> turns an asset into a
// sound. Loading and playing come with the sound manager.
//
// Main thread only.
#pragma once

#include "foundation/asset.h"

class TSound : public TAssetKind<TSound, TAsset> {
public:
    const char* GetClassName() const override;
};
