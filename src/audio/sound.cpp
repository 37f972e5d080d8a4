#include "audio/sound.h"

#include <charconv>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "audio/soundcallback.h"
#include "audio/sounddatasource.h"
#include "audio/soundhooks.h"
#include "audio/soundinstance.h"
#include "audio/soundlock.h"
#include "audio/soundmanager.h"
#include "audio/soundstream.h"
#include "audio/streamspooler.h"
#include "foundation/assetmanager.h"
#include "foundation/log.h"

namespace {

// Every stream's buffer: two seconds.
constexpr float kBufferSeconds = 2.0f;
constexpr uint32_t kBitsPerSample = 16;

// The registry's key, "path;preload;group", written in one allocation: a scheme asks for
// thousands of sounds in a load.
str SoundKey(const str& path, bool preload, int group) {
    char tail[3 + 12];
    tail[0] = ';';
    tail[1] = preload ? '1' : '0';
    tail[2] = ';';
    const char* end = std::to_chars(tail + 3, std::end(tail), group).ptr;
    const unsigned int length = path.Length();
    const int tailLength = static_cast<int>(end - tail);
    str key;
    key.Reserve(static_cast<int>(length) + tailLength + 1);
    key.Append(path.c_str(), static_cast<int>(length));
    key.Append(tail, tailLength);
    return key;
}

}  // namespace

TSound::TSound() : mData(std::make_shared<TSoundData>(this)) {}

TSound::~TSound() {
    TSoundLock lock;
    // No callback hears of the stops that follow.
    for (const std::shared_ptr<TSoundInstance>& instance : mData->mPlaying)
        instance->ChangeCallBack(nullptr, nullptr);
    mData->mOwner = nullptr;
    StopAll();
    mData.reset();
}

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
    TAssetManager* manager = GetAssetManager();
    std::weak_ptr<TAsset>* entry =
        manager != nullptr ? &manager->Entry(SoundKey(path, preload, group)) : nullptr;
    if (entry != nullptr) {
        if (std::shared_ptr<TSound> found = AssetCast<TSound>(entry->lock())) return found;
    }
    auto sound = std::make_shared<TSound>();
    if (entry != nullptr) *entry = sound;
    sound->mData->mPath = path;
    sound->mData->mGroup = group;
    sound->mData->mSource = CreateSoundDataSource(path, !preload);
    if (sound->mData->mSource == nullptr) {
        // The registry's entry expires with the sound, so the next call tries again.
        LogPrintf("TSound::Get: No valid sound file found: %s", path.c_str());
        return nullptr;
    }
    return sound;
}

std::shared_ptr<TSoundInstance> TSound::Play(bool loop) {
    // A sound made without a file (no source) has nothing to play either.
    if (mData == nullptr || mData->mSource == nullptr) {
        LogPrintf("Play of uninitialized sound");
        return nullptr;
    }
    TSoundManager* manager = soundhooks::SoundManager();
    if (manager == nullptr) {
        LogPrintf("No Sound Manager");
        return nullptr;
    }
    const std::shared_ptr<TSoundDataSource>& source = mData->mSource;
    // The manager owns it from here on.
    auto* stream = new TSoundStream(manager, std::make_unique<TStreamSpooler>(source), loop,
                                    mData->mGroup, mData);
    auto instance = std::make_shared<TSoundInstance>(stream);
    instance->SetSound(Self());
    mData->mPlaying.insert(instance);
    stream->CreateBuffer(source->GetSampleRate(), source->GetChannels(), kBitsPerSample,
                         kBufferSeconds);
    // A sound that fits in the buffer whole plays once from it; the rest goes round the ring.
    stream->Play(!loop && stream->GetBufferLength() > source->GetLength());
    TSoundLock lock(manager);
    stream->SetInstance(instance);
    return instance;
}

bool TSound::StopInstance(const std::shared_ptr<TSoundInstance>& instance) {
    TSoundLock lock;
    if (instance == nullptr) return false;
    // A callback told inside the stop may drop the last reference to this sound.
    std::shared_ptr<TSound> self = Self();
    mData->mPlaying.erase(instance);
    TSoundStream* stream = instance->GetStream();
    // A stream that moved on to a queued sound plays on.
    if (stream != nullptr && stream->GetNotify() == mData) stream->Stop(false);
    return true;
}

bool TSound::StopAll() {
    TSoundLock lock;
    std::shared_ptr<TSound> self = Self();
    // Each stop may start or stop instances of this sound from a callback: the walk goes over the
    // instances playing now, each held while it is stopped, and skips those already gone.
    std::vector<std::shared_ptr<TSoundInstance>> playing(mData->mPlaying.begin(),
                                                         mData->mPlaying.end());
    bool any = false;
    for (const std::shared_ptr<TSoundInstance>& instance : playing) {
        if (mData->mPlaying.count(instance) != 0 && StopInstance(instance)) any = true;
    }
    return any;
}

bool TSound::PauseAll(bool pause) {
    TSoundLock lock;
    for (const std::shared_ptr<TSoundInstance>& instance : mData->mPlaying) {
        if (TSoundStream* stream = instance->GetStream()) stream->Pause(pause);
    }
    return !mData->mPlaying.empty();
}

void TSound::SetCallBack(const std::shared_ptr<TSoundInstance>& instance, TSoundCallBack* callback,
                         const std::shared_ptr<TSound>& next) {
    if (instance == nullptr) return;
    TSoundLock lock;
    if (next != nullptr) {
        if (next->mData->mSource == nullptr) return;
        auto spooler = std::make_unique<TStreamSpooler>(next->mData->mSource);
        TSoundStream* stream = instance->GetStream();
        // A stream whose last sound already drains refuses it, and the spooler goes.
        if (stream == nullptr || !stream->QueueNext(next->mData, std::move(spooler))) return;
        instance->SetNext(next);
        instance->ChangeCallBack(callback, next);
        return;
    }
    if (callback != nullptr) instance->SetSound(Self());
    instance->ChangeCallBack(callback, nullptr);
    instance->SetNext({});
}

float TSound::GetLength() const {
    if (mData == nullptr || mData->mSource == nullptr) return 0.0f;
    return static_cast<float>(mData->mSource->GetLength());
}

const str& TSound::GetName() const {
    return mData->mPath;
}

int TSound::GetGroup() const {
    return mData->mGroup;
}

size_t TSound::GetPlayingCount() const {
    return mData->mPlaying.size();
}

std::shared_ptr<TSound> TSound::Self() {
    return std::static_pointer_cast<TSound>(weak_from_this().lock());
}
