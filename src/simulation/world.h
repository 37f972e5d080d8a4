// GWorld: the one world of the game. It holds the task scheduler, the game logic's names
// registry, the global data with the game's tuning, the player messages, the world's random
// generator (default-seeded, never re-seeded: every random decision
// of the world comes from it in call order), the four pairs of bound objects, the table of ids of
// a load in progress, and the two things the play screen lends it: the view manager and the
// message listener (SetViews), with the view the player carries and the views' speed factor.
//
// Objects talk to the world as their GObjectListener, views as their GVWorldObjectListener.
// So far the world answers GetPairedObject, GetRegistryValue and IsEventSet; the rules behind the
// other operations arrive with the objects and rules they need, and until then answer no, 0 or
// nothing. Without a message listener the world talks to one that does nothing.
//
// The game has one world; tests make their own. Main thread only.
#pragma once

#include <array>
#include <utility>

#include "foundation/random.h"
#include "simulation/params/globaldata.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/messagelistener.h"
#include "simulation/params/messagetable.h"
#include "simulation/nameregistry.h"
#include "simulation/objectlistener.h"
#include "simulation/schedule/schedule.h"
#include "simulation/worldobjectlistener.h"

class GVWorldManager;

class GWorld : public GObjectListener, public GVWorldObjectListener {
public:
    static constexpr int kPairCount = 4;

    GWorld();
    ~GWorld() override;
    GWorld(const GWorld&) = delete;
    GWorld& operator=(const GWorld&) = delete;

    GSchedule& GetSchedule() { return mSchedule; }
    GNameRegistry& GetNames() { return mNames; }
    GlobalData& GetGlobalData() { return mGlobalData; }
    MessageTable& GetMessages() { return mMessages; }
    TRandom& GetRandom() { return mRandom; }
    LoadIdRegistry& GetLoadIds() { return mLoadIds; }

    // The play screen lends its view manager and listener before the first tick; none puts the
    // silent listener back.
    void SetViews(GVWorldManager* viewManager, GMessageListener* listener);
    GVWorldManager* GetViewManager() const { return mViewManager; }
    // The view of the creature the player carries (drawn in front of everything); none.
    GVWorldObject* GetHeldVisual() const { return mHeldVisual; }
    void SetHeldVisual(GVWorldObject* view) { mHeldVisual = view; }
    // The animation speed of the world's views: 0 while the game is paused, 1.0 at the ordinary
    // speed levels (4.0 at the fastest). The view manager gives it to every new view.
    float GetSpeedFactor() const { return mSpeedFactor; }
    void SetSpeedFactor(float factor) { mSpeedFactor = factor; }
    GMessageListener& GetMessageListener() const { return *mListener; }
    bool HasMessageListener() const { return mListener != &mSilentListener; }

    // Binds pair index (0 to 3); the world binds its named locations this way.
    void SetPair(int index, GObject* first, GObject* second);

    // GObjectListener.
    void OnTaskCompleted(GTaskData* taskData) override;
    bool ResetTaskAnimations(GTaskData* taskData) override;
    bool StartTask(int kind, GObject* subject, GObject* object) override;
    void Transform(GObject* object, const str& fullName) override;
    void OnObjectEvent(GObject* location, GObject* creature) override;
    // The global-event flag (false outside 0 to 55).
    bool IsEventSet(int id) override;
    void FireWorldEvent(int id) override;
    bool IsCounterClear() override;
    bool OnCreatureDeath(GObject* creature, int cause) override;
    int RollOutcome() override;
    // The evolution total of task kind index (0 outside 0 to 38).
    int GetRegistryValue(int index) override;
    int GetTaskBonusPercents(int kind) override;
    // For each pair in turn: the first side when object is the second side, the second side
    // when object is the (set) first side. None for no match or no object.
    GObject* GetPairedObject(GObject* object) override;
    float GetSpeedValue() override;
    void SetArkMaterials(GObject* materials) override;
    bool IsLastPairReady() override;
    bool IsCarrierAtStep() override;

    // GVWorldObjectListener.
    void OnVisualEvent(GVWorldObject* visual, const GNameMask* event) override;

private:
    class SilentListener : public GMessageListener {
    public:
        void ShowMessage(const str&) override {}
        void QueueTutorialEvent(int) override {}
        void SaveGame() override {}
        void RefreshTribe() override {}
        void GameOver() override {}
        void ShowArkFullScene() override {}
        TVec2 GetPointerWorldPosition() override { return TVec2(); }
        void ShowHoverHint() override {}
    };

    GNameRegistry mNames;
    GlobalData mGlobalData;
    MessageTable mMessages;
    TRandom mRandom;
    LoadIdRegistry mLoadIds;
    // After the load table: its unclaimed objects may be parties of scheduled tasks, and the
    // schedule goes first.
    GSchedule mSchedule;
    std::array<std::pair<GObject*, GObject*>, kPairCount> mPairs{};
    GVWorldManager* mViewManager = nullptr;
    GVWorldObject* mHeldVisual = nullptr;
    float mSpeedFactor = 1.0f;
    SilentListener mSilentListener;
    GMessageListener* mListener = &mSilentListener;
};
