// GMonster: a hostile animal (the hyena) that roams the landscape, plunders the stocks of places
// and fights the creatures that defend them (kind 3). Its block (monsterdata.h) holds the weights
// of its choices. The monster decides and starts its tasks through the world (its
// GObjectListener), which the factory sets; without one it does nothing.
//
// So far: its fields, its saved element ("NickName", "item_type", a child "LastTasks" with
// "LastTask", its hunting state) and the block's production and duration by kind. The world's
// threat pass sets its hunting state and the prey it chases (worldthreat.cpp). Its choice of
// tasks and its reactions to them come with the monsters' rules; until then its task callbacks
// do nothing. Main thread only.
#pragma once

#include <memory>

#include "foundation/str.h"
#include "simulation/data/monsterdata.h"
#include "simulation/object.h"

class GObjectListener;

class GMonster : public GObject {
public:
    GMonster();
    ~GMonster() override;

    GMonsterData* GetMonsterData() const { return static_cast<GMonsterData*>(GetData()); }

    void OnTaskCancelled(GTaskData* taskData) override;
    void OnTaskCompleted(GTaskData* taskData) override;
    void OnTaskProgress(GTaskData* taskData, float progress) override;
    void OnVisualEvent(GVWorldObject* visual, const GNameMask* event) override;

    // A monster holds a monster block; any other block is refused and freed.
    void SetData(std::unique_ptr<GObjectData> data) override;
    void Load(TXmlNode* node, LoadIdRegistry& ids) override;
    void Save(TXmlNode* node, SaveIdRegistry& ids) const override;

    GObjectListener* GetWorld() const { return mWorld; }
    void SetWorld(GObjectListener* world) { mWorld = world; }
    const str& GetNickName() const { return mNickName; }
    void SetNickName(const str& nickName) { mNickName = nickName; }
    // The hunting state: 6 while the monster chases its prey.
    int GetLastTask() const { return mLastTask; }
    void SetLastTask(int kind) { mLastTask = kind; }
    // The creature the monster chose to chase (borrowed, not saved); none at first.
    GObject* GetPrey() const { return mPrey; }
    void SetPrey(GObject* prey) { mPrey = prey; }
    GObject* GetAttacker() const { return mAttacker; }
    // The attacker and the prey become none when they are the object (the world calls it when
    // the object leaves).
    void ForgetObject(const GObject* object);
    int GetItemType() const { return mItemType; }
    // Also shows the item on a creature view.
    void SetItemType(int item);

    // Of the block's entry for the kind; 0 without one.
    int GetAIProduction(int kind) const;
    int GetAIDuration(int kind) const;

private:
    GObjectListener* mWorld = nullptr;
    str mNickName;
    int mLastTask = 0;
    GObject* mPrey = nullptr;
    GObject* mAttacker = nullptr;
    int mItemType = 0;
};
