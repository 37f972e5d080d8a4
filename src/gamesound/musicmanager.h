// GMusicManager: the game's one music player, a function-static singleton (Get). It plays one
// track of its table at a time on two alternating channels, so that a new track can fade in over
// two seconds while the previous one fades out, and chains the game tracks: when a game track or
// the celebration ends, another game track picked at random fades in. Music is streamed, in
// sound group 1001, whose volume the sound manager keeps.
//
// Track numbers: 0 to 6 are the table's entries of that index (the menu theme, win, lose, the
// minigame, the hyena and the starvation tracks, the celebration); 7 is game music, one of
// entries 7 to 11 picked each time, never looping. The current track is the number last asked
// for, not what is heard: it stays after its track ended, and names a track that failed to start
// while the music of the last good start plays on.
//
// Ownership: the channels hold their sounds and instances. The manager makes its fade timer
// (musictimer.h) and hands it to the application object's task list, which owns it; the manager
// and the timer forget each other when either goes. It binds "PlayInterfaceMusic" and
// "PlayGameMusic" in the window script's Lua state, and sets them to nil when it goes while that
// state still exists.
//
// Main thread only: the callers, the Lua functions, the timer and OnSoundDone, which the sound
// engine calls with the sound lock held, possibly inside a stop; it may start a track.
#pragma once

#include <memory>

#include "audio/soundcallback.h"
#include "foundation/str.h"
#include "script/luabinding.h"

class GMusicTimer;
class TRandom;
class TSound;
class TSoundInstance;

// The music table, indexed by entry.
inline constexpr int kMusicTrackCount = 12;
extern const char* const kMusicTracks[kMusicTrackCount];

// The generator of the random game tracks: made on first use, seeded with the application clock.
TRandom& GetMusicRandom();

class GMusicManager : public TSoundCallBack {
public:
    // The track number of game music.
    static constexpr int kGameMusic = 7;
    // The sound group of music.
    static constexpr int kMusicGroup = 1001;

    struct MusicChannel {
        std::shared_ptr<TSoundInstance> instance;
        std::shared_ptr<TSound> sound;
        // Empty once the channel's music is stopped.
        str path;
    };

    // The singleton, made on the first call and destroyed at exit.
    static GMusicManager& Get();

    // Two empty channels, the timer in the application object's task list (none without one),
    // the Lua functions in the window script (none without one). Tests make managers of their
    // own.
    GMusicManager();
    ~GMusicManager() override;
    GMusicManager(const GMusicManager&) = delete;
    GMusicManager& operator=(const GMusicManager&) = delete;

    // Starts a track (0 to 7; anything else, and the current track unless forced, answers false
    // and changes nothing). Without cross-fade the music stops first. False when the track's file
    // does not load.
    bool PlayMusic(int track, bool crossFade, bool loop, bool force);
    // Stops both channels at once; the current track becomes -1.
    void StopMusic();
    bool IsCurrentTrack(int track) const { return mCurrentTrack == track; }
    // The menu theme, looping, with cross-fade; false while it is the current track.
    bool PlayInterfaceMusic();
    // A random game track with cross-fade; false while game music is the current track.
    bool PlayGameMusic();
    // Loads the path and starts it in the next channel: with cross-fade it starts silent and the
    // timer fades it in, after stopping at once the music still in that channel (two starts
    // back). False, with the channels' roles unchanged, when the file does not load.
    bool StartTrack(const str& path, bool crossFade, bool loop);
    // One fade step (the timer's, every 100 ms): the outgoing channel 0.05 quieter, the incoming
    // one 0.05 louder, until the music volume is passed.
    void Update();
    // Only the latest start's instance counts: a game track or the celebration that ended brings
    // in a random game track with cross-fade; other tracks end in silence.
    void OnSoundDone(const std::shared_ptr<TSoundInstance>& instance,
                     const std::shared_ptr<TSound>& next) override;

    // The timer's destructor.
    void ForgetTimer(const GMusicTimer* timer);

    // What tests look at.
    const MusicChannel& GetChannel(int channel) const { return mChannels[channel & 1]; }
    int GetNextChannel() const { return mNextChannel; }
    bool IsFading() const { return mFading; }
    int GetFadeSteps() const { return mFadeSteps; }
    float GetTargetVolume() const { return mTargetVolume; }
    GMusicTimer* GetTimer() const { return mTimer; }

private:
    MusicChannel mChannels[2];
    bool mFading = false;
    // The channel the next start uses; the latest good start's is the other.
    int mNextChannel = 0;
    // Owned by the application object's task list.
    GMusicTimer* mTimer = nullptr;
    // The music group's volume at the latest start.
    float mTargetVolume = 0.0f;
    int mFadeSteps = 0;
    int mCurrentTrack = -1;
    std::unique_ptr<TLuaBindings> mBindings;
};
