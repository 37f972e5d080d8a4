// GSoundScheme: the world's voices, a function-static singleton (Get) that the world reaches
// through its sound interface (simulation/worldsounds.h; gamesounds.h installs it). Load reads its
// table from the document of "xml/sound_scheme.xml": for a kind of world object (the full name of
// its data block; empty for a sound of no object), a point of the map and an event, the options
// that may play, each with five voice-pack variants, a volume and a kind: a trigger plays once,
// a loop whose delay is under 500 ms loops until stopped, a longer loop plays again its delay
// after it ended, an ambient option a random interval after it ended. Events are the world's
// task kinds (1 and up) and the scheme's own 27 names, numbered 40 to 66 (EventFromName).
//
// PlayEvent picks an option of the entry at random and plays one variant, quieter the further
// the sound lies outside the view rectangle (DistanceFactor): an object's sound where its view
// was when it started, a sound of no object at its point, one at (0, 0) in full everywhere. A play
// and its restarts form a chain sharing one PlayInfo: playing (an instance in the instances map,
// which keeps each instance's own key, and under its key in the playing map) or pending (a record
// waiting for StartDueSounds, which the play screen's periodic task calls). OnSoundDone moves a
// chain from playing to pending, or ends it. A key has one chain: when a restart comes due while a
// fresh play of the same key runs, the restart takes the key and the other instance plays out and
// ends its chain; StopEvent and StopAll stop every instance recorded under a key.
//
// Ownership: the table owns its options and their sounds; the chains share their PlayInfo,
// freed with its last holder; the maps hold the instances. The view rectangle and the world
// objects are borrowed: an object's address is only a key, and its view is read only when a
// chain starts. Load stops every chain before it replaces the table the chains point into.
//
// Main thread only, without a lock of its own. OnSoundDone comes with the sound lock held, from
// the sound manager's dispatch or at once inside a stop; the stops the scheme makes itself set
// the stopping flag, which makes those notifications do nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "audio/soundcallback.h"
#include "foundation/random.h"
#include "foundation/str.h"
#include "math/vec2.h"

class GNameRegistry;
class GObject;
class GVViewPort;
class TSound;
class TSoundInstance;
class TXmlNode;

// The scheme's own event names, numbered from kFirstSchemeEvent in this order.
inline constexpr int kFirstSchemeEvent = 40;
inline constexpr int kSchemeEventCount = 27;
extern const char* const kSchemeEventNames[kSchemeEventCount];

// One element of the file: a kind of object (empty: none), a point and an event. Ordered by
// event, x, y, then the type name byte-wise.
struct SoundSchemeKey {
    str typeName;
    float x = 0.0f;
    float y = 0.0f;
    int event = 0;

    friend bool operator<(const SoundSchemeKey& a, const SoundSchemeKey& b);
};

enum SoundOptionKind { kSoundTrigger = 0, kSoundLoop = 1, kSoundAmbient = 2 };

struct SoundOption {
    static constexpr int kVariants = 5;

    // The voice packs' variants; all five set in every option of the table.
    std::shared_ptr<TSound> sounds[kVariants];
    int kind = kSoundTrigger;
    // From 0 to 1 as the file's percent allows (not clamped).
    float volume = 0.0f;
    // Milliseconds, never negative: a loop's delay, or an ambient option's least interval, which
    // is never above intervalMax.
    int delay = 0;
    int intervalMax = 0;
};
using SoundOptionList = std::vector<SoundOption>;

// What a chain plays: the option chosen in its entry's list, where its sound is heard for the
// volume, and the voice pack.
struct PlayInfo {
    unsigned int option = 0;
    const SoundOptionList* options = nullptr;
    float x = 0.0f;
    float y = 0.0f;
    int variant = 0;

    const SoundOption& Option() const { return (*options)[option]; }
};

// A sound as the world names it: object (null for none), point as given, event; and the chain
// playing it, which takes no part in the order (event, x, y, then the object's address).
struct PlayingKey {
    GObject* object = nullptr;
    float x = 0.0f;
    float y = 0.0f;
    int event = 0;
    std::shared_ptr<PlayInfo> info;

    struct Less {
        bool operator()(const PlayingKey& a, const PlayingKey& b) const;
    };
};

// A chain waiting for its restart: due when the application clock reaches start.
struct PendingStart {
    uint32_t start = 0;
    PlayingKey key;
};

class GSoundScheme : public TSoundCallBack {
public:
    // The distance outside the view at which a sound falls silent, and the least factor heard.
    static constexpr float kSilentDistance = 2000.0f;
    static constexpr float kLeastFactor = 0.1f;
    // A loop with a shorter delay plays as one looping sound.
    static constexpr int kLeastLoopDelay = 500;
    // The sound group of every scheme sound.
    static constexpr int kEffectsGroup = 1000;

    // Answers a name's task kind, 0 when it is none: the name registry's GetTaskKind, or a
    // test's own.
    using TaskKinds = std::function<int(const str& name)>;
    using Table = std::map<SoundSchemeKey, SoundOptionList>;
    using PlayingMap = std::map<PlayingKey, std::shared_ptr<TSoundInstance>, PlayingKey::Less>;
    using InstanceMap = std::map<std::shared_ptr<TSoundInstance>, PlayingKey,
                                 std::owner_less<std::shared_ptr<TSoundInstance>>>;

    // The singleton, made on the first call and destroyed at exit.
    static GSoundScheme& Get();

    // An empty table, disabled, no view. Tests make schemes of their own.
    GSoundScheme();
    // StopAll, then the table goes.
    ~GSoundScheme() override;
    GSoundScheme(const GSoundScheme&) = delete;
    GSoundScheme& operator=(const GSoundScheme&) = delete;

    // Stops every chain and empties the table, then reads the document's first "SoundScheme"
    // child: each child element one entry, each of its children one option. False, the table
    // empty, without that child or without names.
    bool Load(TXmlNode* document, const GNameRegistry* names);
    bool Load(TXmlNode* document, const TaskKinds& taskKinds);
    // The task kind of the name when it is one, else the number of one of the scheme's own
    // names (exactly), else 0.
    static int EventFromName(const str& name, const GNameRegistry* names);
    static int EventFromName(const str& name, const TaskKinds& taskKinds);

    // The world's calls (worldsounds.h, where a refused play has no answer). PlayEvent: true
    // when a sound was started; false while disabled, while the key plays, without an entry or
    // option for it, and when nothing could play (no sound manager), which records nothing.
    bool PlayEvent(GObject* object, float x, float y, int event, int variant);
    void StopEvent(GObject* object, float x, float y, int event);
    void StopAll();
    // Once a sound has started: PlayEvent of every fixed point of the table (no type name, a
    // point other than (0, 0)), in key order, without an object and with variant 0.
    void Update();
    bool IsEnabled() const { return mEnabled; }
    // While disabled nothing plays, restarts wait and volumes stay; nothing stops by itself.
    void SetEnabled(bool enabled) { mEnabled = enabled; }

    // The play screen's calls: the restarts that are due, and every instance's volume for the
    // view as it is now (the effects group's volume × the option's × the distance factor).
    void StartDueSounds();
    void UpdateVolumes();
    // The play area's view rectangle (not owned); the distance factor is 1 without one.
    void SetViewPort(GVViewPort* view) { mView = view; }
    GVViewPort* GetViewPort() const { return mView; }

    // Whether the playing map holds the key.
    bool IsPlaying(GObject* object, float x, float y, int event) const;
    // 1 inside the view, 1 - d / 2000 for d the distance outside it, 0 under 0.1.
    float DistanceFactor(const TVec2& point) const;

    // The end of an instance the scheme plays (TSoundCallBack).
    void OnSoundDone(const std::shared_ptr<TSoundInstance>& instance,
                     const std::shared_ptr<TSound>& next) override;

    const Table& GetTable() const { return mTable; }
    const PlayingMap& GetPlaying() const { return mPlaying; }
    const InstanceMap& GetInstances() const { return mInstances; }
    const std::vector<PendingStart>& GetPending() const { return mPending; }
    bool IsStarted() const { return mStarted; }

private:
    // How loud a key is heard: an object where its view was when its chain started, a sound of
    // no object at its point, and one at (0, 0) everywhere in full. Plays, restarts and updates
    // all use it, so that no sound starts louder or quieter than the next update makes it.
    float KeyFactor(const PlayingKey& key) const;
    // The option's volume × the key's factor × the effects group's volume.
    float KeyVolume(const PlayingKey& key, float group) const;
    // Plays the chain's variant at its key's volume and records it under the key, replacing a
    // playing entry of an equal key; false, nothing recorded, when no instance came.
    bool StartChain(const PlayingKey& key, float group);

    GVViewPort* mView = nullptr;
    Table mTable;
    InstanceMap mInstances;
    PlayingMap mPlaying;
    bool mStopping = false;
    std::vector<PendingStart> mPending;
    TRandom mRandom;
    bool mEnabled = false;
    bool mStarted = false;
};
