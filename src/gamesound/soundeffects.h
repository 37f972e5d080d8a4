// GSoundEffects: the game's player of short sound effects by number, a function-static singleton
// (Get). It knows the 22 effects of its table, preloads them all when it is made (a file that
// fails then is loaded when first asked for), plays an effect with a volume that falls off with
// the distance of a map point outside the visible part of the map, keeps looping effects until
// StopAll, and stops every sound of the effects group (1000) at once, the sound scheme's too.
//
// The volume factor: 1 for kNoSoundPosition, for a point inside the view (its edges included)
// and before SetView has given a scene; otherwise 1 - d / 1000 for d the distance outside the
// view in whole units, never below 0.01. The instance then plays at the effects group's volume
// times the factor.
//
// Ownership: the asset map holds the effect sounds for the player's life, the cache the sounds
// looked up (and which failed), the playing records the looping instances. The scene is not
// owned. Main thread only.
#pragma once

#include <map>
#include <memory>

#include "foundation/str.h"
#include "math/point.h"
#include "math/vec2.h"
#include "platform/assetmap.h"

class GVScene;
class TSound;
class TSoundInstance;

// A point given for an effect without a position: the largest int in both coordinates, passed
// as floats (2147483648.0).
inline constexpr TPoint kNoSoundPosition = {2147483647, 2147483647};

class GSoundEffects {
public:
    static constexpr int kEffectCount = 22;
    // The sound group of the effects.
    static constexpr int kEffectsGroup = 1000;
    // The table: each effect's file, with the query that puts it in the effects group.
    static const char* const kEffectPaths[kEffectCount];

    // A looping effect that plays; the tag and the point are kept, not read.
    struct PlayingEffect {
        std::shared_ptr<TSoundInstance> instance;
        int tag = 0;
        float x = 0.0f;
        float y = 0.0f;
    };

    // The singleton, made (and every effect preloaded) on the first call, destroyed at exit.
    static GSoundEffects& Get();

    // Registers the table's effects and preloads them. Tests make players of their own.
    GSoundEffects();
    ~GSoundEffects();
    GSoundEffects(const GSoundEffects&) = delete;
    GSoundEffects& operator=(const GSoundEffects&) = delete;

    // Gives an id its path; false for an id outside 0 to 21 and for a null path. An id keeps the
    // first path it was given.
    bool RegisterEffect(int id, const char* path);
    // Plays the effect at the point's volume factor; false when the id has no sound (the lookup
    // is made, and logged on failure, once per id). True without a sound manager, which plays
    // and records nothing.
    bool Play(int tag, int id, const TVec2& point, bool loop);
    // Pauses and stops every sound of the effects group, then lets the looping records go.
    void StopAll();
    void SetView(GVScene* scene) { mScene = scene; }

    // The volume factor of a point (see above).
    float GetVolumeFactor(const TVec2& point) const;
    // The looping effects recorded.
    const std::multimap<int, PlayingEffect>& GetPlaying() const { return mPlaying; }

private:
    GVScene* mScene = nullptr;
    TAssetMap mAssets;
    std::map<int, str> mPaths;
    std::multimap<int, PlayingEffect> mPlaying;
    // An id whose lookup failed holds an empty sound.
    std::map<int, std::shared_ptr<TSound>> mSounds;
};
