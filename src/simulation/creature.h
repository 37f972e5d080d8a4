// GCreature: a member of the tribe or one of its animals (kind 1). Besides its block
// (creaturedata.h) a creature has a nickname, an age, hunger and thirst, a disease, a carried
// item and resources, the targets it last used for each task kind, and the player's preferred
// task. Once per world cycle it loses or regains health (LiveCycle) and may fall ill; whenever it
// is free it chooses its next task (ChooseNextTask, creaturechoice.cpp); its view shows what it
// does (creatureview.cpp). Its life rules (health, speed, illness, devolving, changing form)
// are in creaturelife.cpp.
//
// The creature talks to the world only as its GObjectListener (SetWorld): every task it asks
// for goes through StartTask with the creature as subject; without a world it asks for nothing.
// Its random numbers come from the world's generator (GObject::GetRandom), drawn in a fixed
// order that the game's determinism rests on.
//
// So far its task callbacks do the least: a task that completes or is cancelled stops being its
// current task, and progress does nothing; Load and Save are GObject's over a creature block.
//
// Pointers to other objects (targets, build places, the preferred target, place entries) are
// borrowed; the world clears them when it removes an object. Main thread only.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "foundation/str.h"
#include "gv/keys/namemask.h"
#include "simulation/data/creaturedata.h"
#include "simulation/data/pointofinterest.h"
#include "simulation/object.h"

class GLocation;
class GObjectListener;
class GVWorldCreature;
struct GComponentRecord;
struct GResourceRecord;

// The targets a creature last used for one task kind: where it worked and where it took the
// result.
struct GTaskTargets {
    GObject* before = nullptr;
    GObject* after = nullptr;
};

// A herb type the creature knows; collected once it has gathered it for a cure.
struct GPrescription {
    int type = 0;
    bool collected = false;
};

// A definition the creature has been, remembered when it devolves.
struct GEvolutionMemory {
    str name;
    str fullName;
    int16_t level = 0;
};

class GCreature : public GObject {
public:
    // Need kinds of the place entries.
    enum { kFoodPlace = 2, kWaterPlace = 3, kBuildPlace = 4 };

    GCreature();
    ~GCreature() override;

    GCreatureData* GetCreatureData() const { return static_cast<GCreatureData*>(GetData()); }

    // Until the task callbacks come: completion and cancellation clear the current task when it
    // is the task told; progress and the view's events do nothing.
    void OnTaskCancelled(GTaskData* taskData) override;
    void OnTaskCompleted(GTaskData* taskData) override;
    void OnTaskProgress(GTaskData* taskData, float progress) override;
    void OnVisualEvent(GVWorldObject* visual, const GNameMask* event) override;

    // A creature holds a creature block; any other block is refused (logged) and the old one
    // kept. DefendAllowed then tells whether the block is a "Lion".
    void SetData(std::unique_ptr<GObjectData> data) override;
    // A fresh creature block, then GObject's Load.
    void Load(TXmlNode* node, LoadIdRegistry& ids) override;

    GObjectListener* GetWorld() const { return mWorld; }
    void SetWorld(GObjectListener* world) { mWorld = world; }

    // --- Identity, age and needs.
    const str& GetNickName() const { return mNickName; }
    void SetNickName(const str& nickName) { mNickName = nickName; }
    int GetBirthDate() const { return mBirthDate; }
    void SetBirthDate(int time) { mBirthDate = time; }
    float GetAge() const { return mAge; }
    void SetAge(float age) { mAge = age; }
    int GetDeathAge() const { return mDeathAge; }
    void SetDeathAge(int age) { mDeathAge = age; }
    // The block's level; 0 without a block.
    int GetLevel() const;
    int GetHunger() const { return mHunger; }
    void SetHunger(int hunger) { mHunger = hunger; }
    int GetThirst() const { return mThirst; }
    void SetThirst(int thirst) { mThirst = thirst; }
    // The value grows by delta x the block's HungerAddCoef (truncated, saturated), kept within
    // 0 and 100. The one coefficient serves both.
    void AddHunger(float delta);
    void AddThirst(float delta);
    // Hunger (thirst) of 51 or more while CurrentHealth is at most HealthPercentsToEat percent
    // of StartHealth.
    bool IsHungry() const;
    bool IsThirsty() const;
    // The walking speed by age: Speed up to MinAge, then falling toward MinSpeed at age 100.
    float GetSpeed() const;
    // Draws r from 0 to 100 (always, when there is a generator) and answers whether the
    // chance of falling ill at this age is above it.
    bool ShouldFallIll();
    // Once per world cycle: illness, health lost or regained by disease, hunger and thirst,
    // and the request for the graveyard (task 37) when health is gone. Answers true when the
    // creature died: its health is gone and the ark is not full (with a world, which is then
    // asked for the graveyard).
    bool LiveCycle();

    // --- Items, resources, disease.
    int GetItemType() const { return mItemType; }
    void SetItemType(int item) { mItemType = item; }
    bool IsItemSpecial() const { return mItemSpecial; }
    void SetItemSpecial(bool special) { mItemSpecial = special; }
    int GetItemInWork() const { return mItemInWork; }
    void SetItemInWork(int item) { mItemInWork = item; }
    int GetOldItem() const { return mOldItem; }
    void SetOldItem(int item) { mOldItem = item; }
    int GetBeforeRepairItem() const { return mBeforeRepairItem; }
    void SetBeforeRepairItem(int item) { mBeforeRepairItem = item; }
    // The carried count of a resource type; 0 when absent.
    int GetResource(int type) const;
    void SetResource(int type, int16_t count) { mResources[type] = count; }
    const std::map<int, int16_t>& GetResources() const { return mResources; }
    int GetDisease() const { return mDisease; }
    bool IsIll() const { return mDisease != 0; }
    // Also shows the disease mark on a creature view.
    void SetDisease(int disease);
    int GetDiseaseToHeal() const { return mDiseaseToHeal; }
    void SetDiseaseToHeal(int disease) { mDiseaseToHeal = disease; }
    // The herb types the creature knows, in the order it learnt them.
    std::vector<GPrescription>& GetPrescriptions() { return mPrescriptions; }
    const std::vector<GPrescription>& GetPrescriptions() const { return mPrescriptions; }
    // True for an empty list; otherwise when the list is as long as the creature's
    // prescriptions and every listed type is among them, collected.
    bool HasCollectedPrescriptions(const std::vector<int>& types) const;
    str GetSpecialMessage() const { return mSpecialMessage; }
    void SetSpecialMessage(const str& text) { mSpecialMessage = text; }

    // --- Tasks and targets.
    int GetLastTask() const { return mLastTask; }
    void SetLastTask(int kind) { mLastTask = kind; }
    GObject* GetLastBeforeTarget() const { return mLastBeforeTarget; }
    GObject* GetLastAfterTarget() const { return mLastAfterTarget; }
    void SetLastTargets(GObject* before, GObject* after);
    bool GetGoThere() const { return mGoThere; }
    void SetGoThere(bool goThere) { mGoThere = goThere; }
    // {null, null} for a kind without an entry.
    GTaskTargets GetTaskTargets(int kind) const;
    GObject* GetBeforeTarget(int kind) const { return GetTaskTargets(kind).before; }
    GObject* GetAfterTarget(int kind) const { return GetTaskTargets(kind).after; }
    // Replaces the pair of a kind that has an entry (an absent kind gets none); while LastTask
    // is the kind the last targets become the pair too.
    void SetTaskTargets(int kind, GObject* before, GObject* after);
    // A new entry takes both; an entry there keeps each side given as null.
    void RememberTaskTargets(int kind, GObject* before, GObject* after);
    const std::map<int, GTaskTargets>& GetTasksMemory() const { return mTasksMemory; }

    bool IsTaskExcluded(int kind) const;
    // Adds the kind unless it is there already.
    void ExcludeTask(int kind);
    void ClearExcludedTasks() { mExcludedTasks.clear(); }
    const std::vector<int>& GetExcludedTasks() const { return mExcludedTasks; }

    // Null entries stand for places a saved world named that no longer exist.
    const std::vector<GLocation*>& GetValidBuildTargets() const { return mValidBuildTargets; }
    // False for null.
    bool IsValidBuildTarget(const GLocation* location) const;
    // Appends the location unless it is null, there already, or a "Konut Roots", "PreFlower"
    // or "YayaFlower".
    void AddValidBuildTarget(GLocation* location);
    // Appends as it is (a saved entry, null included).
    void AppendValidBuildTarget(GLocation* location) { mValidBuildTargets.push_back(location); }
    // Removes the first entry equal to the location; true when one was removed.
    bool RemoveValidBuildTarget(const GLocation* location);
    // Removes the first null entry, then answers whether a remaining place has work for item.
    bool HasValidBuildTargets(int item);

    int GetOverrideTask() const { return mOverrideTask; }
    // A new kind drops the preferred target; BreedAllowed follows kind 1, DefendAllowed kind 6
    // or a "Lion".
    void SetOverrideTask(int kind);
    GObject* GetOverrideTarget() const { return mOverrideTarget; }
    void SetOverrideTarget(GObject* target) { mOverrideTarget = target; }
    int GetOverrideProb() const { return mOverrideProb; }
    void SetOverrideProb(int16_t percent) { mOverrideProb = percent; }
    bool IsBreedAllowed() const { return mBreedAllowed; }
    void SetBreedAllowed(bool allowed) { mBreedAllowed = allowed; }
    bool IsDefendAllowed() const { return mDefendAllowed; }
    void SetDefendAllowed(bool allowed) { mDefendAllowed = allowed; }

    // --- Patrols, places, mode, evolution.
    // The home point; "set" when not (0, 0).
    GGridPoint GetPatrolCenter() const { return mPatrolCenter; }
    void SetPatrolCenter(GGridPoint center) { mPatrolCenter = center; }
    bool HasPatrolCenter() const { return mPatrolCenter.x != 0 || mPatrolCenter.y != 0; }
    // The patrol route's index and step (0 and 1 when made; not saved).
    int16_t GetRouteIndex() const { return mRouteIndex; }
    void SetRouteIndex(int16_t index) { mRouteIndex = index; }
    int16_t GetRouteStep() const { return mRouteStep; }
    void SetRouteStep(int16_t step) { mRouteStep = step; }
    // The place of a need kind (kFoodPlace, kWaterPlace, kBuildPlace); none by default and for
    // other kinds, which SetPlace ignores. Not saved.
    GLocation* GetPlace(int needKind) const;
    void SetPlace(int needKind, GLocation* location);
    // The look the world gave the creature (0, 2 or 4; not saved); a creature view shows it as
    // its variant.
    int16_t GetMode() const { return mMode; }
    void SetMode(int16_t mode);
    std::vector<GEvolutionMemory>& GetEvolutionMemory() { return mEvolutionMemory; }
    const std::vector<GEvolutionMemory>& GetEvolutionMemory() const { return mEvolutionMemory; }

    // --- The block's queries (0 or false without a block).
    // True for kind 0; otherwise whether the block has AI values for the kind.
    bool HasTaskData(int kind) const;
    int GetTaskDuration(int kind) const;
    // The kind's Production: special tools double (shovel, tomahawk) or triple (hammer) a
    // build's; every kind but breed is scaled by the world's speed value, and a positive
    // Production that a speed below 1 would take to 0 gives 1. 0 without an entry.
    int GetTaskProduction(int kind) const;
    void RaiseTaskWeight(int kind, int percent);
    // The heaviest task kind; breed only with BreedAllowed and defend only with DefendAllowed,
    // else 0.
    int GetStrongestTask() const;
    // The creature does research, the component needs no item or the one carried, and research
    // is left.
    bool CanResearch(const GComponentRecord& component) const;
    // Whether the creature may do the record's action: the task kind, the required item (a nail
    // serves for a hammer), name, level, resource and global event, tested in that order.
    bool CanDoAction(const GResourceRecord& record) const;
    // Whether the creature may make the record's item here; on success the item becomes the one
    // in work. The record's RequiredItemSave is the flag that it may be made at all.
    bool CanProduceItem(const GResourceRecord& record);

    // Every pointer the creature keeps to the object becomes none: targets and remembered
    // targets, the preferred target and place entries; a build place stays as a null entry.
    // The world calls it when the object leaves.
    void ForgetObject(const GObject* object);

    // --- Decisions.
    // The creature's choice of what to do next (creaturechoice.cpp).
    void ChooseNextTask();
    // Goes on with LastTask: flakeout for none, else the walk to its target (task 19); a
    // refused walk excludes the kind and chooses again.
    void GoOnLastTask();
    // Asks for task 15; when it starts the item is dropped, the present definition remembered
    // and the view hidden. Answers whether it started.
    bool StartDevolve();
    // The creature becomes the definition (a prototype of the names registry): a copy of it
    // with the animator choice, health share and experience of the old block, which is freed.
    void ChangeData(const GCreatureData& definition);

    // --- The view (creatureview.cpp); nothing happens without a creature view.
    // The view's activity, walk and work effect by the current task, then the marks.
    void UpdateViewState();
    // The work effect of the current task, shown on the sprite.
    GNameMask GetWorkEffect() const;
    // "work" and the work effect.
    void ShowWork();
    // The carried item, the disease and the marks of the collected prescriptions of types 3, 2
    // and 1.
    void RefreshViewMarks();
    // Hands the value to the view's hint icon.
    void PassToView(int value);
    // The view when it is a creature view; none otherwise.
    GVWorldCreature* GetCreatureView() const;

private:
    // One round of ChooseNextTask and TryLastTask: false when the world refused the walk, its
    // kind is now excluded and the choice must run again.
    bool ChooseRound();
    bool TryLastTask();
    // The required name, level and global event of a record (the tests CanDoAction and
    // CanProduceItem share).
    bool MeetsRequirements(const GResourceRecord& record) const;
    // The LostHealth bookkeeping of one need (LiveCycle steps 4 and 5).
    float NeedLoss(int resourceType, int need, int16_t& lostHealth);
    // The location the object is, or none.
    static GLocation* AsLocation(GObject* object);
    // The kind of the current task, 0 without one.
    int CurrentTaskKind() const;
    bool StartTask(int kind, GObject* object);

    GObjectListener* mWorld = nullptr;
    std::map<int, GTaskTargets> mTasksMemory;
    GObject* mLastBeforeTarget = nullptr;
    GObject* mLastAfterTarget = nullptr;
    int mLastTask = 0;
    bool mGoThere = true;
    std::map<int, int16_t> mResources;
    str mNickName;
    int mBirthDate = 0;
    float mAge = 0.0f;
    int mDeathAge = 100;
    int mHunger = 0;
    int mThirst = 0;
    int mItemType = 0;
    bool mItemSpecial = false;
    int mItemInWork = 0;
    int mOldItem = 0;
    int mBeforeRepairItem = 0;
    int mDisease = 0;
    int mDiseaseToHeal = 0;
    std::vector<GPrescription> mPrescriptions;
    str mSpecialMessage;
    bool mBreedAllowed = false;
    bool mDefendAllowed = false;
    GGridPoint mPatrolCenter;
    int16_t mRouteIndex = 0;
    int16_t mRouteStep = 1;
    std::vector<int> mExcludedTasks;
    std::vector<GLocation*> mValidBuildTargets;
    std::vector<GEvolutionMemory> mEvolutionMemory;
    int mOverrideTask = 0;
    GObject* mOverrideTarget = nullptr;
    int16_t mOverrideProb = 90;
    std::array<GLocation*, 3> mPlaces{};
    int16_t mMode = 0;
};
