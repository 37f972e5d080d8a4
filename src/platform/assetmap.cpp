#include "platform/assetmap.h"

#include <cstdlib>

#include "audio/sound.h"
#include "foundation/asset.h"
#include "foundation/assetmanager.h"
#include "foundation/file/file.h"
#include "foundation/log.h"
#include "platform/animation/animatedtexture.h"
#include "platform/animation/model.h"
#include "platform/texture/texture.h"
#include "script/scriptcode.h"

namespace {

// Tried in this order after a name that is not a file.
const char* const kStandardExtensions[] = {".xml", ".anm",  ".jpg", ".png", ".spx",
                                           ".ogg", ".mesh", ".lua", nullptr};

// One asset kind: its key in the asset manager, the asset found there as this kind, and its
// loader.
template <class T>
std::shared_ptr<TAsset> FindOrLoad(TAssetManager* manager, const str& key,
                                   std::shared_ptr<T> (*load)(const str& resolved),
                                   const str& resolved) {
    std::shared_ptr<T> asset;
    if (manager != nullptr) asset = AssetCast<T>(manager->FindAsset(key));
    if (asset == nullptr) asset = load(resolved);
    return asset;
}

}  // namespace

TAssetMap::TAssetMap() = default;

TAssetMap::~TAssetMap() = default;

void TAssetMap::AddAsset(str name, std::shared_ptr<TAsset> asset, bool quiet) {
    name.Replace("\\", "/", str::kAllOccurrences);
    if (asset != nullptr) {
        mAssets[name] = std::move(asset);
        return;
    }

    const str fullName = name;
    str query;
    unsigned int mark = name.FindChar('?');
    if (mark != str::npos) {
        query = name.Substring(mark);
        name = name.Substring(0, mark);
    }
    str resolved = name;
    if (!FileExists(name)) {
        resolved = str();
        for (const char* const* extension = kStandardExtensions; *extension != nullptr;
             ++extension) {
            if (FileExists(name + *extension)) {
                resolved = name + *extension;
                break;
            }
        }
        if (resolved.Length() == 0) {
            if (!quiet) {
                LogPrintf(
                    "TAssetMap::AddAsset: Failed to find asset %s with any standard "
                    "extension (jpg/png/anm/xml/ogg/mesh)",
                    fullName.c_str());
            }
            return;
        }
    }
    unsigned int dot = resolved.FindChar('.', str::kBackward);
    const str extension = dot != str::npos ? resolved.Substring(dot + 1) : str();
    resolved += query;

    TAssetManager* manager = GetAssetManager();
    std::shared_ptr<TAsset> loaded;
    str key;
    if (extension == "jpg" || extension == "png") {
        key = TTexture::MakeKey(fullName + query, false, false, false);
        loaded = FindOrLoad<TTexture>(
            manager, key, [](const str& file) { return TTexture::Get(file, 0); }, resolved);
    } else if (extension == "xml" || extension == "anm") {
        key = TAnimatedTexture::MakeKey(fullName + query, str(), str());
        loaded = FindOrLoad<TAnimatedTexture>(
            manager, key, [](const str& file) { return TAnimatedTexture::Get(file, str(), str()); },
            resolved);
    } else if (extension == "ogg" || extension == "spx") {
        key = MakeSoundKey(fullName, query);
        loaded = FindOrLoad<TSound>(
            manager, key, [](const str& file) { return TSound::Get(file, true, -1); }, resolved);
    } else if (extension == "lua") {
        key = fullName;
        loaded = FindOrLoad<TScriptCode>(
            manager, key, [](const str& file) { return TScriptCode::Load(file, str(), nullptr); },
            resolved);
    } else if (extension == "mesh") {
        key = fullName;
        loaded = FindOrLoad<TModel>(
            manager, key, [](const str& file) { return TModel::Get(file); }, resolved);
    }
    if (loaded != nullptr) {
        if (manager != nullptr) manager->AddAsset(key, loaded);
        mAssets[fullName] = std::move(loaded);
        return;
    }
    if (!quiet) LogPrintf("TAssetMap::AddAsset: Error loading %s", resolved.c_str());
}

void TAssetMap::AddAssets(const char* const* names) {
    for (; *names != nullptr; ++names)
        AddAsset(*names, nullptr, false);
}

std::shared_ptr<TSound> TAssetMap::GetSound(str name) {
    name.Replace("\\", "/", str::kAllOccurrences);
    // The entry stays, empty, when nothing fills it.
    std::shared_ptr<TAsset>& entry = mAssets[name];
    if (entry != nullptr) return AssetCast<TSound>(entry);
    if (mLoadOnDemand) {
        AddAsset(name, nullptr, false);
        if (entry != nullptr) return AssetCast<TSound>(entry);
    }
    LogPrintf("Sound asset not found: %s", name.c_str());
    return nullptr;
}

str TAssetMap::MakeSoundKey(const str& name, const str& query) {
    int group = 0;
    if (query.Length() != 0) {
        unsigned int at = query.Find("group=");
        if (at != str::npos) group = std::atoi(query.c_str() + at + 6);
    }
    return str::Format("%s;%d;%d", name.c_str(), 0, group);
}
