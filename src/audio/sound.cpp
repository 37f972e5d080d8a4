#include "audio/sound.h"

#include <cstdlib>

#include "foundation/assetmanager.h"
#include "foundation/file/file.h"
#include "foundation/log.h"

const char* TSound::GetClassName() const {
    return "TSound";
}

std::shared_ptr<TSound> TSound::Get(const str& name, bool preload, int defaultGroup) {
    if (name.Length() == 0) return nullptr;
    str path = name;
    int group = defaultGroup;
    unsigned int query = path.FindChar('?');
    if (query != str::npos) {
        unsigned int at = path.Find("group=", 0, query);
        if (at != str::npos) group = std::atoi(path.c_str() + at + 6);
        path = path.Substring(0, query);
    }
    str key = str::Format("%s;%d;%d", path.c_str(), preload ? 1 : 0, group);

    TAssetManager* manager = GetAssetManager();
    if (manager != nullptr) {
        if (std::shared_ptr<TSound> found = AssetCast<TSound>(manager->FindAsset(key)))
            return found;
    }
    auto sound = std::make_shared<TSound>();
    if (manager != nullptr) manager->AddAsset(key, sound);
    sound->mPath = path;
    sound->mGroup = group;
    if (!FileExists(path)) {
        LogPrintf("TSound::Get: No valid sound file found: %s", path.c_str());
        return nullptr;
    }
    return sound;
}
