#include "gamesound/soundeffects.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

#include "audio/sound.h"
#include "audio/soundhooks.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "gv/gvscene.h"

const char* const GSoundEffects::kEffectPaths[kEffectCount] = {
    "audio/sfx/picked_up.ogg?group=1000",
    "audio/sfx/buttonclick.ogg?group=1000",
    "audio/sfx/no.ogg?group=1000",
    "audio/sfx/thinking.ogg?group=1000",
    "audio/sfx/scared.ogg?group=1000",
    "audio/sfx/curious.ogg?group=1000",
    "audio/sfx/success.ogg?group=1000",
    "audio/sfx/angry.ogg?group=1000",
    "audio/sfx/fight.ogg?group=1000",
    "audio/sfx/building.ogg?group=1000",
    "audio/sfx/stampede.ogg?group=1000",
    "audio/sfx/hyena_laugh.ogg?group=1000",
    "audio/sfx/kissing.ogg?group=1000",
    "audio/sfx/evolution.ogg?group=1000",
    "audio/sfx/lion_roar.ogg?group=1000",
    "audio/sfx/giraffe_bray.ogg?group=1000",
    "audio/sfx/gorilla_grunt.ogg?group=1000",
    "audio/sfx/elephant_trumpet.ogg?group=1000",
    "audio/sfx/zebra_bray.ogg?group=1000",
    "audio/sfx/water_flowing.ogg?group=1000",
    "audio/sfx/land_slide.ogg?group=1000",
    "audio/sfx/achievement.ogg?group=1000",
};

namespace {

// kNoSoundPosition's coordinates as the floats callers pass.
constexpr float kNoPosition = 2147483648.0f;
// The distance at which the volume would reach 0, and the least volume.
constexpr float kSilentDistance = 1000.0f;
constexpr float kLeastVolume = 0.01f;

// A distance outside the view in whole units, toward zero, within the int range (its square
// and the sum of two fit in 64 bits).
int64_t WholeUnits(float distance) {
    if (std::isnan(distance)) return 0;
    if (distance >= kNoPosition) return INT_MAX;
    if (distance <= -kNoPosition) return -INT_MAX;
    return static_cast<int>(distance);
}

}  // namespace

GSoundEffects& GSoundEffects::Get() {
    static GSoundEffects effects;
    return effects;
}

GSoundEffects::GSoundEffects() {
    for (int id = 0; id < kEffectCount; ++id)
        RegisterEffect(id, kEffectPaths[id]);
    std::vector<const char*> paths;
    for (const auto& [id, path] : mPaths)
        paths.push_back(path.c_str());
    paths.push_back(nullptr);
    mAssets.AddAssets(paths.data());
    mAssets.mLoadOnDemand = true;
}

// The cache, the looping records and the paths go before the asset map; the looping instances
// are let go without a stop.
GSoundEffects::~GSoundEffects() = default;

bool GSoundEffects::RegisterEffect(int id, const char* path) {
    if (static_cast<unsigned>(id) >= static_cast<unsigned>(kEffectCount) || path == nullptr)
        return false;
    mPaths.emplace(id, path);
    return true;
}

bool GSoundEffects::Play(int tag, int id, const TVec2& point, bool loop) {
    auto cached = mSounds.find(id);
    if (cached == mSounds.end()) {
        auto path = mPaths.find(id);
        if (path == mPaths.end()) return false;
        cached = mSounds.emplace(id, mAssets.GetSound(path->second)).first;
    }
    const std::shared_ptr<TSound>& sound = cached->second;
    if (sound == nullptr) return false;
    const float factor = GetVolumeFactor(point);
    std::shared_ptr<TSoundInstance> instance = sound->Play(loop);
    TSoundManager* manager = soundhooks::SoundManager();
    if (instance == nullptr || manager == nullptr) return true;
    if (loop) mPlaying.emplace(id, PlayingEffect{instance, tag, point.x, point.y});
    instance->SetVolume(manager->GetVolume(kEffectsGroup) * factor);
    return true;
}

float GSoundEffects::GetVolumeFactor(const TVec2& point) const {
    if (point.x == kNoPosition && point.y == kNoPosition) return 1.0f;
    if (mScene == nullptr) return 1.0f;
    const GVViewPort& view = mScene->GetViewPort();
    // In 64 bits: a point far outside the map stays a number.
    const int64_t dx = WholeUnits(view.DistanceOutsideX(point));
    const int64_t dy = WholeUnits(view.DistanceOutsideY(point));
    const float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
    float volume = 1.0f - d / kSilentDistance;
    if (!(static_cast<double>(volume) > 0.01)) volume = kLeastVolume;
    return volume;
}

void GSoundEffects::StopAll() {
    if (TSoundManager* manager = soundhooks::SoundManager()) {
        manager->PauseGroup(true, kEffectsGroup);
        manager->StopGroup(kEffectsGroup);
    }
    mPlaying.clear();
}
