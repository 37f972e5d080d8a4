// The scheme's playback: plays by object, point and event, the chains' restarts, the volumes
// against the view, and the stops.
#include <algorithm>
#include <cmath>
#include <utility>

#include "audio/sound.h"
#include "audio/soundhooks.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "gamesound/soundscheme.h"
#include "gv/gvviewport.h"
#include "platform/platform.h"
#include "simulation/object.h"
#include "simulation/views/worldobject.h"

namespace {

bool SameKey(const PlayingKey& a, const PlayingKey& b) {
    PlayingKey::Less less;
    return !less(a, b) && !less(b, a);
}

// The effects group's volume; nothing plays without a sound manager anyway.
float EffectsVolume() {
    TSoundManager* manager = soundhooks::SoundManager();
    return manager != nullptr ? manager->GetVolume(GSoundScheme::kEffectsGroup) : 0.0f;
}

bool PlaysLooping(const SoundOption& option) {
    return option.kind == kSoundLoop && option.delay < GSoundScheme::kLeastLoopDelay;
}

// Sets the flag for the scope, and puts back what it was.
class StoppingScope {
public:
    explicit StoppingScope(bool& flag) : mFlag(flag), mWas(flag) { mFlag = true; }
    ~StoppingScope() { mFlag = mWas; }
    StoppingScope(const StoppingScope&) = delete;
    StoppingScope& operator=(const StoppingScope&) = delete;

private:
    bool& mFlag;
    bool mWas;
};

void Silence(const std::shared_ptr<TSoundInstance>& instance) {
    instance->Pause(true);
    instance->Stop();
}

}  // namespace

float GSoundScheme::DistanceFactor(const TVec2& point) const {
    if (mView == nullptr) return 1.0f;
    const float dx = mView->DistanceOutsideX(point);
    const float dy = mView->DistanceOutsideY(point);
    const float factor = 1.0f - std::sqrt(dx * dx + dy * dy) / kSilentDistance;
    // Far away is silent.
    return factor >= kLeastFactor ? factor : 0.0f;
}

bool GSoundScheme::IsPlaying(GObject* object, float x, float y, int event) const {
    return mPlaying.count(PlayingKey{object, x, y, event, nullptr}) != 0;
}

bool GSoundScheme::PlayEvent(GObject* object, float x, float y, int event, int variant) {
    if (!mEnabled) return false;
    if (IsPlaying(object, x, y, event)) return false;
    variant = std::max(variant, 0) % SoundOption::kVariants;

    SoundSchemeKey lookup;
    if (object != nullptr && object->GetData() != nullptr)
        lookup.typeName = object->GetData()->fullName;
    lookup.x = x;
    lookup.y = y;
    lookup.event = event;
    auto entry = mTable.find(lookup);
    if (entry == mTable.end()) {
        // Only an object falls back on the entry of no type, and only while no sound of no
        // object plays there.
        if (object == nullptr || IsPlaying(nullptr, x, y, event)) return false;
        lookup.typeName = str();
        entry = mTable.find(lookup);
        if (entry == mTable.end()) return false;
    }
    const SoundOptionList& options = entry->second;
    if (options.empty()) return false;
    const unsigned int index = mRandom.Next() % static_cast<unsigned int>(options.size());
    if (options[index].sounds[variant] == nullptr) return false;

    auto info = std::make_shared<PlayInfo>();
    info->option = index;
    info->options = &options;
    info->x = x;
    info->y = y;
    info->variant = variant;
    if (object != nullptr && object->GetView() != nullptr) {
        info->x = object->GetView()->GetX();
        info->y = object->GetView()->GetY();
    }
    if (!StartChain(PlayingKey{object, x, y, event, std::move(info)}, EffectsVolume()))
        return false;
    mStarted = true;
    return true;
}

float GSoundScheme::KeyFactor(const PlayingKey& key) const {
    if (key.object != nullptr) return DistanceFactor(TVec2(key.info->x, key.info->y));
    if (key.x == 0.0f && key.y == 0.0f) return 1.0f;
    return DistanceFactor(TVec2(key.x, key.y));
}

float GSoundScheme::KeyVolume(const PlayingKey& key, float group) const {
    return key.info->Option().volume * KeyFactor(key) * group;
}

bool GSoundScheme::StartChain(const PlayingKey& key, float group) {
    const SoundOption& option = key.info->Option();
    const bool loop = PlaysLooping(option);
    std::shared_ptr<TSoundInstance> instance = option.sounds[key.info->variant]->Play(loop);
    if (instance == nullptr) return false;
    instance->SetVolume(KeyVolume(key, group));
    if (!loop) instance->SetCallBack(this, nullptr);
    mInstances[instance] = key;
    // An instance of an equal key loses its entry (it plays out and ends its chain); the entry
    // takes this chain's key.
    mPlaying.erase(key);
    mPlaying.emplace(key, std::move(instance));
    return true;
}

void GSoundScheme::OnSoundDone(const std::shared_ptr<TSoundInstance>& instance,
                               const std::shared_ptr<TSound>& /*next*/) {
    if (mStopping) return;
    auto found = mInstances.find(instance);
    if (found == mInstances.end()) return;
    PlayingKey key = std::move(found->second);
    mInstances.erase(found);
    auto playing = mPlaying.find(key);
    // An instance whose key another play has taken ends its chain here.
    if (playing == mPlaying.end() || playing->second != instance) return;
    mPlaying.erase(playing);

    const SoundOption& option = key.info->Option();
    uint32_t wait = 0;
    if (option.kind == kSoundLoop) {
        wait = static_cast<uint32_t>(option.delay);
    } else if (option.kind == kSoundAmbient) {
        wait = static_cast<uint32_t>(mRandom.NextRange(option.delay, option.intervalMax));
    } else {
        return;
    }
    mPending.push_back(
        PendingStart{static_cast<uint32_t>(TPlatform::GetTimer()) + wait, std::move(key)});
}

void GSoundScheme::StartDueSounds() {
    if (!mEnabled) return;
    const uint32_t now = TPlatform::GetTimer();
    const float group = EffectsVolume();
    for (size_t i = 0; i < mPending.size();) {
        if (mPending[i].start > now) {
            ++i;
            continue;
        }
        PlayingKey key = std::move(mPending[i].key);
        mPending[i] = std::move(mPending.back());
        mPending.pop_back();
        // A chain that gets no instance ends here.
        StartChain(key, group);
    }
}

void GSoundScheme::UpdateVolumes() {
    if (!mEnabled) return;
    const float group = EffectsVolume();
    for (const auto& [instance, key] : mInstances)
        instance->SetVolume(KeyVolume(key, group));
}

void GSoundScheme::StopEvent(GObject* object, float x, float y, int event) {
    // The first restart of the object and event that waits, wherever it waits.
    for (PendingStart& record : mPending) {
        if (record.key.object == object && record.key.event == event) {
            record = std::move(mPending.back());
            mPending.pop_back();
            break;
        }
    }
    const PlayingKey key{object, x, y, event, nullptr};
    mPlaying.erase(key);
    std::vector<std::shared_ptr<TSoundInstance>> stopped;
    for (auto it = mInstances.begin(); it != mInstances.end();) {
        if (SameKey(it->second, key)) {
            stopped.push_back(it->first);
            it = mInstances.erase(it);
        } else {
            ++it;
        }
    }
    StoppingScope stopping(mStopping);
    for (const std::shared_ptr<TSoundInstance>& instance : stopped)
        Silence(instance);
}

void GSoundScheme::StopAll() {
    StoppingScope stopping(mStopping);
    InstanceMap instances = std::move(mInstances);
    mInstances.clear();
    mPlaying.clear();
    mPending.clear();
    for (const auto& [instance, key] : instances)
        Silence(instance);
}

void GSoundScheme::Update() {
    if (!mStarted) return;
    for (const auto& [key, options] : mTable) {
        if (key.typeName.Length() == 0 && (key.x != 0.0f || key.y != 0.0f))
            PlayEvent(nullptr, key.x, key.y, key.event, 0);
    }
}
