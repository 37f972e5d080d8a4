#include "platform/texturedatasource.h"

#include "platform/memorytexturedata.h"

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
