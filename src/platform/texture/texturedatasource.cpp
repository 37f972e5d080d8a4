#include "platform/texture/texturedatasource.h"

#include "platform/texture/memorytexturedata.h"

namespace {

std::unique_ptr<TTextureData> MakeMemoryTextureData() {
    return std::make_unique<TMemoryTextureData>();
}

TTextureDataMaker gMaker = MakeMemoryTextureData;

}  // namespace

void SetTextureDataMaker(TTextureDataMaker maker) {
    gMaker = maker != nullptr ? maker : MakeMemoryTextureData;
}

std::unique_ptr<TTextureData> CreateTextureData() {
    return gMaker();
}
