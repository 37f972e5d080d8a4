#include "audio/sound.h"

TAssetClassId TSound::TypeId() {
    static const char marker = 0;
    return &marker;
}

const char* TSound::GetClassName() const {
    return "TSound";
}

bool TSound::IsKindOf(TAssetClassId id) const {
    return id == TypeId() || TAsset::IsKindOf(id);
}
