// Stand-ins for what the world talks to above it, each recording what it is asked: the sound
// scheme, the music, the window system's top modal window, the play screen's message listener
// and the task starters' listener. The sound, music and window recorders install themselves
// while they live (worldsounds.h, worldmusic.h, worldwindows.h). Main thread only.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "simulation/messagelistener.h"
#include "simulation/starterlistener.h"
#include "simulation/worldmusic.h"
#include "simulation/worldsounds.h"
#include "simulation/worldwindows.h"

namespace testing_support {

class RecordingSounds : public GWorldSounds {
public:
    struct Call {
        GObject* object;
        float x;
        float y;
        int event;
        int variant;
    };

    RecordingSounds() { SetWorldSounds(this); }
    ~RecordingSounds() override { SetWorldSounds(nullptr); }
    RecordingSounds(const RecordingSounds&) = delete;
    RecordingSounds& operator=(const RecordingSounds&) = delete;

    void PlayEvent(GObject* object, float x, float y, int event, int variant) override {
        played.push_back({object, x, y, event, variant});
    }
    void StopEvent(GObject* object, float x, float y, int event) override {
        stopped.push_back({object, x, y, event, 0});
    }
    void StopAll() override {}
    void Update() override {}
    bool IsEnabled() const override { return enabled; }
    void SetEnabled(bool on) override { enabled = on; }
    bool Load(TXmlNode* document, const GNameRegistry* names) override {
        ++loads;
        loadedWithNames = names != nullptr && document != nullptr;
        return false;
    }

    // The events played, in order.
    std::vector<int> PlayedEvents() const {
        std::vector<int> events;
        for (const Call& call : played)
            events.push_back(call.event);
        return events;
    }

    std::vector<Call> played;
    std::vector<Call> stopped;
    int loads = 0;
    bool loadedWithNames = false;
    bool enabled = true;
};

class RecordingMusic : public GWorldMusic {
public:
    RecordingMusic() { SetWorldMusic(this); }
    ~RecordingMusic() override { SetWorldMusic(nullptr); }
    RecordingMusic(const RecordingMusic&) = delete;
    RecordingMusic& operator=(const RecordingMusic&) = delete;

    bool IsCurrentTrack(int track) override { return track == current; }
    void PlayMusic(int track, bool crossFade, bool loop, bool force) override {
        played.push_back(track);
        current = track;
        playedAsTheWorldDoes = playedAsTheWorldDoes && crossFade && loop && !force;
    }

    int current = 0;
    std::vector<int> played;
    bool playedAsTheWorldDoes = true;
};

class RecordingWindows : public GWorldWindows {
public:
    RecordingWindows() { SetWorldWindows(this); }
    ~RecordingWindows() override { SetWorldWindows(nullptr); }
    RecordingWindows(const RecordingWindows&) = delete;
    RecordingWindows& operator=(const RecordingWindows&) = delete;

    str GetTopModalName() override {
        ++asked;
        return topModal;
    }

    str topModal = "game";
    int asked = 0;
};

// Each call as a line: "ShowMessage <text>", "QueueTutorialEvent <id>", "SaveGame",
// "RefreshTribe", "GameOver", "ShowArkFullScene", "ShowHoverHint".
class RecordingMessages : public GMessageListener {
public:
    void ShowMessage(const str& text) override { calls.push_back("ShowMessage " + Text(text)); }
    void QueueTutorialEvent(int id) override {
        calls.push_back("QueueTutorialEvent " + std::to_string(id));
    }
    void SaveGame() override { calls.push_back("SaveGame"); }
    void RefreshTribe() override { calls.push_back("RefreshTribe"); }
    void GameOver() override { calls.push_back("GameOver"); }
    void ShowArkFullScene() override { calls.push_back("ShowArkFullScene"); }
    TVec2 GetPointerWorldPosition() override { return TVec2(); }
    void ShowHoverHint() override { calls.push_back("ShowHoverHint"); }

    int Count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }

    std::vector<std::string> calls;

private:
    static std::string Text(const str& text) { return std::string(text.c_str()); }
};

class StarterLog : public GStarterListener {
public:
    void OnStarterCalled(const GStarterCall& call) override { calls.push_back(call); }

    // The kinds asked of the subject, in order (any subject for none).
    std::vector<int> Kinds(const GObject* subject = nullptr) const {
        std::vector<int> kinds;
        for (const GStarterCall& call : calls)
            if (subject == nullptr || call.subject == subject) kinds.push_back(call.kind);
        return kinds;
    }

    std::vector<GStarterCall> calls;
};

}  // namespace testing_support
