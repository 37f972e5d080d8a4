#include "foundation/asset.h"

TAssetClassId TAsset::TypeId() {
    static const char marker = 0;
    return &marker;
}

const char* TAsset::GetClassName() const {
    return "TAsset";
}

bool TAsset::IsKindOf(TAssetClassId id) const {
    return id == TypeId();
}
