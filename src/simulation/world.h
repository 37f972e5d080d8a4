// GWorld: the one world of the game. It owns every world object (creatures, locations, monsters,
// graves, and the objects taken out of the world that wait for the next tick to be deleted), the
// task scheduler, the game logic's names registry with its definitions, the global data with the
// game's tuning, the player messages, the events history, the prescriptions, the clock and play
// fields (worldplay.h) and the world's random generator (default-seeded, never re-seeded: every
// random decision of the world comes from it in call order). It binds its well-known locations by
// name, and pairs each "Ark Materials" place with its ark part place.
//
// What the world borrows: the view manager and the message listener the play screen lends it
// (SetViews), the player's preferences (SetPrefs), and a listener of its task starters (tests).
// Without a listener it talks to one that does nothing; without preferences reads give their
// defaults. The sound scheme, the music and the window system above it are reached through
// worldsounds.h, worldmusic.h and worldwindows.h.
//
// The tick (Update, worldtick.cpp) advances everything by one step; a new game (worldlogic.cpp)
// builds the island from "xml/logic/main.xml"; the factories (worldfactory.cpp) and view makers
// (worldviews.cpp) bring objects and their views into being; objects leave the world through
// worldleaving.cpp, creatures through their death (worlddeath.cpp); every task is started
// through StartTask (worlddispatch.cpp).
//
// Objects leaving the world: an object leaves its list and every reference to it becomes none
// before its tasks are cancelled, so no one told of the cancellation can choose it again; it is
// queued at most once, StartTask refuses it while it waits, and it is deleted (its view removed)
// by the next tick. Passes over the lists that call out walk by position and read the length
// again, or walk a copy of the list and pass over what has left (worldpass.h), so a call that
// adds or removes an object never upsets them.
//
// The game has one world (Instance); tests make their own. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "foundation/random.h"
#include "math/vec2.h"
#include "simulation/creature.h"
#include "simulation/data/eventrecord.h"
#include "simulation/grave.h"
#include "simulation/location.h"
#include "simulation/messagelistener.h"
#include "simulation/monster.h"
#include "simulation/nameregistry.h"
#include "simulation/objectlistener.h"
#include "simulation/params/globaldata.h"
#include "simulation/params/messagetable.h"
#include "simulation/schedule/loadidregistry.h"
#include "simulation/schedule/schedule.h"
#include "simulation/starterlistener.h"
#include "simulation/worldfacts.h"
#include "simulation/worldobjectlistener.h"
#include "simulation/worldplay.h"
#include "simulation/worldprefs.h"

class GVWorldCreature;
class GVWorldManager;
class GVWorldObject;
class TPrefs;

class GWorld : public GObjectListener, public GVWorldObjectListener {
public:
    static constexpr int kPairCount = 4;
    // The world in pixels: random places are drawn inside it.
    static constexpr int kWidth = 2400;
    static constexpr int kHeight = 1800;

    // The well-known locations (BindLocations). The four "Ark Materials" places and the four ark
    // part places are the world's pairs instead (GetArkMaterials, GetArkPartPlace).
    enum Role {
        kFoodBin,
        kWaterTank,
        kSticksPile,
        kHospital,
        kHyenaPit,
        kDevolutionPool,
        kArk,
        kMetalPile,
        kWaterFall,
        kFertilizer,
        kTreasure,
        kBonus,
        kTree,
        kRockOblingsPile,
        kRockWedgesPile,
        kDummy,
        kPool,
        kRoleCount
    };

    template <class T>
    using Owned = std::vector<std::unique_ptr<T>>;

    GWorld();
    ~GWorld() override;
    GWorld(const GWorld&) = delete;
    GWorld& operator=(const GWorld&) = delete;

    // The game's world, made on the first call and destroyed at exit.
    static GWorld& Instance();

    GSchedule& GetSchedule() { return mSchedule; }
    const GSchedule& GetSchedule() const { return mSchedule; }
    GNameRegistry& GetNames() { return mNames; }
    GlobalData& GetGlobalData() { return mGlobalData; }
    MessageTable& GetMessages() { return mMessages; }
    TRandom& GetRandom() { return mRandom; }
    LoadIdRegistry& GetLoadIds() { return mLoadIds; }
    GWorldPlay& GetPlay() { return mPlay; }
    const GWorldPlay& GetPlay() const { return mPlay; }

    // --- What the world borrows.
    // The play screen lends its view manager and listener before the first tick; none puts the
    // silent listener back.
    void SetViews(GVWorldManager* viewManager, GMessageListener* listener);
    GVWorldManager* GetViewManager() const { return mViewManager; }
    GMessageListener& GetMessageListener() const { return *mListener; }
    bool HasMessageListener() const { return mListener != &mSilentListener; }
    // The player's preferences; null lends none.
    void SetPrefs(TPrefs* prefs) { mPrefs.Lend(prefs); }
    GWorldPrefs& GetPrefs() { return mPrefs; }
    // Hears every call of a task starter; null for none.
    void SetStarterListener(GStarterListener* listener) { mStarterListener = listener; }
    // The view of the creature the player carries (drawn in front of everything); none.
    GVWorldObject* GetHeldVisual() const { return mHeldVisual; }
    void SetHeldVisual(GVWorldObject* view) { mHeldVisual = view; }
    // The animation speed of the world's views: 0 while the game is paused, else 1.0. The view
    // manager gives it to every new view.
    float GetSpeedFactor() const { return mSpeedFactor; }
    void SetSpeedFactor(float factor) { mSpeedFactor = factor; }
    // The camera's scale while views are made; the scene has no scale, so it stays 1.0.
    float GetViewScale() const { return mViewScale; }

    // --- Objects.
    const Owned<GCreature>& GetCreatures() const { return mCreatures; }
    const Owned<GLocation>& GetLocations() const { return mLocations; }
    const Owned<GMonster>& GetMonsters() const { return mMonsters; }
    const Owned<GGrave>& GetGraves() const { return mGraves; }
    // Objects taken out of the world, deleted by the next tick.
    const Owned<GObject>& GetDeletionQueue() const { return mDeletionQueue; }
    bool IsQueuedForDeletion(const GObject* object) const;
    // Whether the object is in one of the four lists.
    bool IsInWorld(const GObject* object) const;

    GLocation* GetPlace(Role role) const { return mPlaces[role]; }
    // Pair index 0 to 3: its "Ark Materials" place and its ark part place; none outside.
    GObject* GetArkMaterials(int index) const;
    GObject* GetArkPartPlace(int index) const;
    // Binds pair index (0 to 3); BindLocations binds the ark places this way.
    void SetPair(int index, GObject* first, GObject* second);

    GObject* GetSelectedObject() const { return mSelected; }
    GObject* GetHoveredObject() const { return mHovered; }
    GCreature* GetHeldCreature() const { return mHeld; }

    std::vector<GEventRecord>& GetEvents() { return mEvents; }
    int GetViewedWorldEventsCount() const { return mViewedWorldEventsCount; }
    void SetViewedWorldEventsCount(int count) { mViewedWorldEventsCount = count; }
    // Disease -> the plant kinds of its cure, as "xml/logic/main.xml" gives them.
    const std::map<int, std::vector<int>>& GetPrescriptionDefinitions() const {
        return mPrescriptionDefinitions;
    }
    // Disease -> the cure's components as the tribe knows them.
    std::map<int, std::vector<GPrescription>>& GetOpenPrescriptions() { return mOpenPrescriptions; }

    // --- Life of the world (worldlogic.cpp, worldtick.cpp, worldfactory.cpp).
    // Loads the names, tuning, definitions, sound scheme, prescriptions and messages; stops
    // quietly where the main file or "xml/logic/names.xml" has no element.
    void LoadLogic(const str& mainFile);
    // The island of the start layout, four creatures and state 3; stops quietly as LoadLogic.
    void NewGame(const str& mainFile);
    // Deletes every object (their views stay the view manager's), empties the lists, the
    // schedule and the history and sets the clocks to 0.
    void Clear();
    // One tick to newTime (at least one tick counts).
    void Update(uint32_t newTime);
    void SetPaused(bool paused);
    void BindLocations();
    // The periodic hyena roll.
    void RollHyenas();

    // --- Factories (worldfactory.cpp): true when the object was made. A negative coordinate asks
    // for a random one.
    bool CreateCreature(const str& fullName, int16_t x, int16_t y);
    bool CreateLocation(const str& fullName, int16_t x, int16_t y);
    bool CreateMonster(const str& fullName, int16_t x, int16_t y);
    bool AddCreature(const GCreatureData* definition, int16_t x, int16_t y);
    bool AddLocation(const GLocationData* definition, int16_t x, int16_t y);
    bool AddMonster(const GMonsterData* definition, int16_t x, int16_t y);

    // --- View makers (worldviews.cpp): an object's view made anew at (x, y), or at a random spot
    // for a negative coordinate. False without a view manager or when no view can be made.
    bool MakeCreatureView(GCreature* creature, int16_t x, int16_t y);
    bool MakeMonsterView(GMonster* monster, int16_t x, int16_t y);
    bool MakeLocationView(GLocation* location, int16_t x, int16_t y);

    // --- Places on the walk grid (worldpoints.cpp). Whole points, x then y drawn from the
    // world's generator, until one is walkable; after 1,000 draws the nearest free point of the
    // last. Without a view manager the first draw.
    TVec2 RandomWalkablePoint(int x0, int x1, int y0, int y1);
    // From start by step until a walkable point; once past the grid's edge the nearest free
    // point of start. Without a view manager start itself.
    TVec2 SteppedWalkablePoint(const TVec2& start, const TVec2& step);
    // Where a runner flees from a threat's view (none: from the middle of the island): turned
    // away from it first, then in jumps, then anywhere walkable (the bounded search). The
    // starter of running away and the arrival of a runaway use it.
    TVec2 FleePoint(const GVWorldObject* runner, const GVWorldObject* threat);

    // --- Leaving the world (worldleaving.cpp).
    // Takes the object out of its list, clears every reference to it, queues it for deletion
    // and cancels its tasks. False (nothing done) for an object in no list.
    bool QueueForDeletion(GObject* object);
    // Clears the object's current task and cancels its tasks as subject and as object.
    void CancelTasks(GObject* object);

    // --- Task dispatch (worlddispatch.cpp).
    // The starter of a kind for a subject of that object kind; none outside 1 to 38.
    static GStarter StarterFor(int kind, int subjectKind);
    // The sound event a started task plays: 62 for building an ark part place, a well or the
    // "Konut Bush", else the kind; 0 for none (running away).
    static int StartSound(int kind, const GObject* object);
    // Calls the starter directly (not through StartTask): the rules that name a starter.
    bool CallStarter(GStarter starter, int kind, GObject* subject, GObject* object);

    // --- The tick's passes over the tribe: the idle pass (worldidle.cpp), the feeding cycle
    // (worldfeeding.cpp) and the threat pass (worldthreat.cpp).
    void RunIdlePass();
    void RunFeedingCycle();
    void RunThreatPass();
    // --- Steps of the rules that come later (their least forms do nothing).
    void AddEvent(GEventRecord record);
    void AddGameOverEvent();
    void StepTreasureMap();
    void StepHiddenObject();
    void SpawnHyena();
    void InfectCreature(int disease, bool forced);
    // Makes the object the selected one; none clears the selection.
    void SelectObject(GObject* object);
    // Takes the creature in hand; none lets the held one go. True when one is held.
    bool TakeCreature(GObject* object);

    // The tutorial event id runs now: 32 brings the tutorial hyena, others go to the listener.
    void RunTutorialEvent(int id);

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
    // Turns a creature of the world into a grave (worlddeath.cpp). False for anything else,
    // also for a creature that has left the world already.
    bool OnCreatureDeath(GObject* creature, int cause) override;
    int RollOutcome() override;
    // The evolution total of task kind index (0 outside 0 to 38).
    int GetRegistryValue(int index) override;
    int GetTaskBonusPercents(int kind) override;
    // For each pair in turn: the first side when object is the second side, the second side
    // when object is the (set) first side. None for no match or no object.
    GObject* GetPairedObject(GObject* object) override;
    // The speed factor of the speed level; the normal one outside 0 to 2.
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

    // Tick steps (worldtick.cpp).
    void AgeCreatures(int dt);
    void RunGlobalTimers(int dt);
    void FireTimedEvent(int id);
    void CountDownGraves();
    void RunTreasureTimers();
    void RunHiddenObjectTimers();
    void RunParkedSelection();
    void SpawnTutorialHyena();
    // Shows the last monster to the player (the periodic roll's last step).
    void ShowLastMonster();

    // Leaving (worldleaving.cpp).
    // The object out of its list; null when it is in none.
    std::unique_ptr<GObject> TakeFromList(GObject* object);
    // Every reference of the world and its objects to the object becomes none.
    void ForgetObject(GObject* object);
    // The deletion queue emptied: tasks cancelled, views removed, objects deleted.
    void DeleteQueuedObjects();

    // Binding (worldbind.cpp).
    void BindByExactName(GLocation* location, const str& name);
    void BindByName(GLocation* location, const str& name);
    void RaisePileGates();

    // Logic (worldlogic.cpp).
    void LoadPrescriptions(TXmlNode* prescriptions);
    void PlaceStartLayout(TXmlNode* world);

    // Views (worldviews.cpp): the object's view removed; a new one made, heard by the world and
    // given to the object (none when the manager cannot make it).
    void DropView(GObject* object);
    GVWorldObject* MakeView(GObject* object);
    TVec2 SpotFor(int16_t x, int16_t y, bool walkable);
    void PlaceView(GVWorldObject* view, int16_t x, int16_t y, bool walkable);

    // Dispatch (worlddispatch.cpp, worldstarters.cpp).
    bool RunStarter(GStarter starter, int kind, GObject* subject, GObject* object, bool dispatched);
    // Makes a task of the subject (worldstarters.cpp): data {subject, object}, the object as
    // listener when objectListens, and as a party (its current task) when it also takesPart.
    // Every task lasts at least one tick: one of no length would end in the update that made it,
    // and a chain of them would keep that update from returning.
    GScheduleTask* ScheduleTask(int kind, int type, GObject* subject, GObject* object,
                                bool objectListens, bool takesPart, int duration);
    // The walking time from the view to the target's view in ticks: the travel time times 30
    // over the walking-speed divisor, truncated; 0 without either view.
    int WalkingTime(const GVWorldCreature* view, const GObject* target) const;
    // Whether the object listens to a scheduled task as its object.
    bool IsObjectOfATask(const GObject* object) const;
    // The rules of working on a place (worldstarters.cpp): the ark part places by the treasure
    // search, exploring, the bonuses by species. May set the duration; false refuses.
    bool MayWorkOn(int kind, const GCreature* creature, const GLocation* place, int& duration);
    bool StartBreeding(int kind, GObject* subject, GObject* object);
    bool StartWorkOnTarget(int kind, GObject* subject, GObject* object);
    bool StartDoctoring(int kind, GObject* subject, GObject* object);
    bool StartWander(int kind, GObject* subject, GObject* object);
    bool StartStayAndAct(int kind, GObject* subject, GObject* object);
    bool StartStoreWalk(int kind, GObject* subject, GObject* object);
    bool StartConsuming(int kind, GObject* subject, GObject* object);
    bool StartTreatment(int kind, GObject* subject, GObject* object);
    bool StartDevolving(int kind, GObject* subject, GObject* object);
    bool StartProducing(int kind, GObject* subject, GObject* object);
    bool StartHerbCollecting(int kind, GObject* subject, GObject* object);
    bool StartJobTask(int kind, GObject* subject, GObject* object);
    bool StartRunAway(int kind, GObject* subject, GObject* object);
    bool StartFailing(int kind, GObject* subject, GObject* object);
    bool StartShortPause(int kind, GObject* subject, GObject* object);
    bool StartCarryArkPart(int kind, GObject* subject, GObject* object);
    bool StartBushRepair(int kind, GObject* subject, GObject* object);
    bool StartCarryToArk(int kind, GObject* subject, GObject* object);
    bool StartFrozenPause(int kind, GObject* subject, GObject* object);
    bool StartGraveyardWalk(int kind, GObject* subject, GObject* object);
    bool StartMonsterTask(int kind, GObject* subject, GObject* object);

    // The threat pass's steps (worldthreat.cpp): a creature runs from or turns on the first
    // monster near it; a fighting lion walks after its monster; a monster chooses its prey.
    void FaceMonsters(GCreature* creature);
    void FollowUpDefence(GCreature* creature);
    void ChoosePrey(GMonster* monster);
    // Whether some creature's kind-5 target (a doctor's patient) is this creature (worldidle.cpp).
    bool IsAwaitingDoctor(const GCreature* creature) const;

    // Handles a world event whose flag was set (the events' rules).
    void HandleWorldEvent(int id);

    GNameRegistry mNames;
    GlobalData mGlobalData;
    GWorldFacts mFacts;
    MessageTable mMessages;
    TRandom mRandom;
    LoadIdRegistry mLoadIds;
    // After the load table: its unclaimed objects may be parties of scheduled tasks, and the
    // schedule goes first.
    GSchedule mSchedule;
    GWorldPlay mPlay;
    GWorldPrefs mPrefs;

    // The objects. The destructor clears them before the schedule goes.
    Owned<GCreature> mCreatures;
    Owned<GLocation> mLocations;
    Owned<GMonster> mMonsters;
    Owned<GGrave> mGraves;
    Owned<GObject> mDeletionQueue;

    std::array<GLocation*, kRoleCount> mPlaces{};
    std::array<std::pair<GObject*, GObject*>, kPairCount> mPairs{};
    GObject* mSelected = nullptr;
    GObject* mHovered = nullptr;
    GCreature* mHeld = nullptr;

    std::vector<GEventRecord> mEvents;
    int mViewedWorldEventsCount = 0;
    std::map<int, std::vector<int>> mPrescriptionDefinitions;
    std::map<int, std::vector<GPrescription>> mOpenPrescriptions;

    GVWorldManager* mViewManager = nullptr;
    GVWorldObject* mHeldVisual = nullptr;
    float mSpeedFactor = 1.0f;
    float mViewScale = 1.0f;
    GStarterListener* mStarterListener = nullptr;
    SilentListener mSilentListener;
    GMessageListener* mListener = &mSilentListener;
};
