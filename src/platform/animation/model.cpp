#include "platform/animation/model.h"

#include <cstring>
#include <utility>

#include "foundation/assetmanager.h"
#include "foundation/file/file.h"
#include "foundation/log.h"

namespace {

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

float Thousandths(const uint8_t* p) {
    return static_cast<float>(static_cast<int16_t>(U16(p)) / 1000.0);
}

// Reads the counts and the arrays after the tag; false when the file is shorter than they say.
bool ReadMesh(TFile* file, TModelData* data) {
    uint8_t counts[4];
    if (FileRead(file, counts, 4) != 4) return false;
    int vertexCount = U16(counts);
    int indexCount = 3 * U16(counts + 2);
    int vertexBytes = 16 * vertexCount;
    int indexBytes = 2 * indexCount;
    if (FileGetSize(file) - FileTell(file) < vertexBytes + indexBytes) return false;

    std::vector<uint8_t> bytes(static_cast<size_t>(vertexBytes + indexBytes));
    if (FileRead(file, bytes.data(), static_cast<int>(bytes.size())) !=
        static_cast<int>(bytes.size()))
        return false;
    std::vector<TMeshVertex> vertices(static_cast<size_t>(vertexCount));
    const uint8_t* p = bytes.data();
    for (TMeshVertex& v : vertices) {
        float* fields[8] = {&v.mX,       &v.mY,       &v.mZ, &v.mNormalX,
                            &v.mNormalY, &v.mNormalZ, &v.mU, &v.mV};
        for (float* field : fields) {
            *field = Thousandths(p);
            p += 2;
        }
    }
    std::vector<uint16_t> indices(static_cast<size_t>(indexCount));
    for (uint16_t& index : indices) {
        index = U16(p);
        p += 2;
    }
    data->mVertices = std::move(vertices);
    data->mIndices = std::move(indices);
    return true;
}

}  // namespace

TModel::TModel() = default;

TModel::~TModel() = default;

void TModel::Restore() {
    if (mData == nullptr) return;
    // Init frees the data, the name with it.
    str name = mData->mFileName;
    Init(name.c_str());
}

std::shared_ptr<TModel> TModel::Get(const str& name) {
    TAssetManager* manager = GetAssetManager();
    if (manager != nullptr) {
        if (std::shared_ptr<TModel> cached = AssetCast<TModel>(manager->FindAsset(name)))
            return cached;
    }
    auto model = std::make_shared<TModel>();
    if (!model->Init(name.c_str())) return nullptr;
    if (manager != nullptr) manager->AddAsset(name, model);
    return model;
}

bool TModel::Init(const char* fileName) {
    FreeData();
    if (std::strstr(fileName, ".mesh") == nullptr) return false;
    TFile* file = FileOpen(fileName, kFileReadBinary);
    if (file == nullptr) {
        LogPrintf("TModel::Init: Failed to load %s", fileName);
        return false;
    }
    mData = std::make_unique<TModelData>();
    char tag[4];
    bool ok = FileRead(file, tag, 4) == 4 && std::memcmp(tag, "TRIS", 4) == 0 &&
              ReadMesh(file, mData.get());
    FileClose(file);
    if (ok) mData->mFileName = fileName;
    return ok;
}

void TModel::FreeData() {
    mData.reset();
}
