#include "gamesound/musicmanager.h"

#include "audio/sound.h"
#include "audio/soundhooks.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "foundation/random.h"
#include "gamesound/musictimer.h"
#include "platform/platform.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

const char* const kMusicTracks[kMusicTrackCount] = {
    "audio/music/mainmenumusic.ogg", "audio/music/win.ogg",
    "audio/music/lose.ogg",          "audio/music/minigame.ogg",
    "audio/music/hyenamusic.ogg",    "audio/music/starvationmusic.ogg",
    "audio/music/celebration.ogg",   "audio/music/gamemusic01.ogg",
    "audio/music/gamemusic02.ogg",   "audio/music/gamemusic03.ogg",
    "audio/music/gamemusic04.ogg",   "audio/music/gamemusic05.ogg",
};

namespace {

constexpr int kMenuTrack = 0;
constexpr int kCelebrationEntry = 6;
// Entries 7 to 11 are the game tracks.
constexpr int kFirstGameEntry = 7;
constexpr int kLastGameEntry = 11;
constexpr uint32_t kFadeStepMs = 100;
constexpr double kFadeStep = 0.05;

const char* RandomGameTrack() {
    return kMusicTracks[kFirstGameEntry +
                        GetMusicRandom().NextRange(0, kLastGameEntry - kFirstGameEntry)];
}

// A game track or the celebration: what ends into more game music.
bool ChainsGameMusic(const str& path) {
    for (int entry = kCelebrationEntry; entry <= kLastGameEntry; ++entry) {
        if (path == kMusicTracks[entry]) return true;
    }
    return false;
}

}  // namespace

TRandom& GetMusicRandom() {
    static TRandom random = [] {
        TRandom seeded;
        seeded.Seed(TPlatform::GetTimer());
        return seeded;
    }();
    return random;
}

GMusicManager& GMusicManager::Get() {
    static GMusicManager manager;
    return manager;
}

GMusicManager::GMusicManager() {
    if (TPlatform* application = TPlatform::GetInstance()) {
        mTimer = new GMusicTimer(this);
        mTimer->SetTimer(kFadeStepMs, true, true, false);
        application->AddTask(mTimer);
    }
    TWindowManager* windows = TWindowManager::Get();
    mBindings = std::make_unique<TLuaBindings>(windows != nullptr ? windows->GetScript() : nullptr);
    mBindings->Bind("PlayInterfaceMusic", this, &GMusicManager::PlayInterfaceMusic);
    mBindings->Bind("PlayGameMusic", this, &GMusicManager::PlayGameMusic);
}

GMusicManager::~GMusicManager() {
    // Nil in the window script, when it is still there; a timer left in the task list ends at
    // its next run.
    mBindings.reset();
    if (mTimer != nullptr) mTimer->ForgetOwner();
    mTimer = nullptr;
    // A sound whose last reference goes stops its instances without telling anyone.
    for (MusicChannel& channel : mChannels)
        channel = MusicChannel();
}

void GMusicManager::ForgetTimer(const GMusicTimer* timer) {
    if (mTimer == timer) mTimer = nullptr;
}

bool GMusicManager::PlayMusic(int track, bool crossFade, bool loop, bool force) {
    if (static_cast<unsigned>(track) > static_cast<unsigned>(kGameMusic)) return false;
    if (track == mCurrentTrack && !force) return false;
    if (!crossFade) StopMusic();
    mCurrentTrack = track;
    if (track == kGameMusic) return StartTrack(RandomGameTrack(), crossFade, false);
    return StartTrack(kMusicTracks[track], crossFade, loop);
}

bool GMusicManager::StartTrack(const str& path, bool crossFade, bool loop) {
    MusicChannel& channel = mChannels[mNextChannel];
    if (channel.sound != nullptr && crossFade) {
        // The music two starts back, fading out or already stopped: gone at once.
        if (channel.instance != nullptr) {
            channel.instance->Pause(true);
            channel.instance->Stop();
        }
        channel.path = str();
    }
    channel.sound = TSound::Get(path, false, kMusicGroup);
    if (channel.sound == nullptr) return false;
    channel.instance = channel.sound->Play(loop);
    channel.path = path;
    if (channel.instance != nullptr) channel.instance->SetCallBack(this, nullptr);
    TSoundManager* sound = soundhooks::SoundManager();
    mTargetVolume = sound != nullptr ? sound->GetVolume(kMusicGroup) : 0.0f;
    mFading = crossFade;
    if (channel.instance != nullptr) channel.instance->SetVolume(crossFade ? 0.0f : mTargetVolume);
    mFadeSteps = 0;
    mNextChannel = 1 - mNextChannel;
    return true;
}

void GMusicManager::Update() {
    if (!mFading) return;
    ++mFadeSteps;
    const auto step = static_cast<float>(mFadeSteps * kFadeStep);
    MusicChannel& outgoing = mChannels[mNextChannel];
    if (outgoing.sound != nullptr) {
        if (mTargetVolume > step) {
            if (outgoing.instance != nullptr) outgoing.instance->SetVolume(mTargetVolume - step);
        } else {
            if (outgoing.instance != nullptr) {
                outgoing.instance->SetVolume(0.0f);
                outgoing.instance->Pause(true);
                outgoing.instance->Stop();
            }
            outgoing.path = str();
        }
    }
    MusicChannel& incoming = mChannels[1 - mNextChannel];
    if (incoming.sound != nullptr) {
        if (mTargetVolume >= step) {
            if (incoming.instance != nullptr) incoming.instance->SetVolume(step);
        } else {
            if (incoming.instance != nullptr) incoming.instance->SetVolume(mTargetVolume);
            mFading = false;
        }
    }
}

void GMusicManager::OnSoundDone(const std::shared_ptr<TSoundInstance>& instance,
                                const std::shared_ptr<TSound>&) {
    const MusicChannel& latest = mChannels[1 - mNextChannel];
    if (instance != latest.instance) return;
    if (ChainsGameMusic(latest.path)) {
        mCurrentTrack = kGameMusic;
        StartTrack(RandomGameTrack(), true, false);
    }
}

void GMusicManager::StopMusic() {
    for (MusicChannel& channel : mChannels) {
        if (channel.sound == nullptr) continue;
        // Cleared first: the stop tells this manager at once, and a cleared path chains nothing.
        channel.path = str();
        std::shared_ptr<TSound> sound = channel.sound;
        sound->PauseAll(true);
        sound->StopAll();
    }
    mCurrentTrack = -1;
}

bool GMusicManager::PlayInterfaceMusic() {
    if (mCurrentTrack == kMenuTrack) return false;
    mCurrentTrack = kMenuTrack;
    return StartTrack(kMusicTracks[kMenuTrack], true, true);
}

bool GMusicManager::PlayGameMusic() {
    if (mCurrentTrack == kGameMusic) return false;
    mCurrentTrack = kGameMusic;
    return StartTrack(RandomGameTrack(), true, false);
}
