// GGrave: what a dead creature leaves behind (kind 4): its nickname and a death text, standing
// on the landscape for a while before it fades. The world makes it when a creature dies, counts
// it down once per tick and removes it once its view has faded; its block is the dead
// creature's kind of block (creaturedata.h). A grave takes part in no task and ignores its
// view's events.
//
// Saved form: GObject's, then "NickName", "Death" and "TimeLeft". Main thread only.
#pragma once

#include <memory>

#include "foundation/str.h"
#include "simulation/data/creaturedata.h"
#include "simulation/object.h"

class GGrave : public GObject {
public:
    // Ticks a new grave stands before it fades.
    static constexpr int kStandingTime = 300;

    GGrave();
    ~GGrave() override;

    GCreatureData* GetCreatureData() const { return static_cast<GCreatureData*>(GetData()); }

    void OnTaskCancelled(GTaskData* taskData) override;
    void OnTaskCompleted(GTaskData* taskData) override;
    void OnTaskProgress(GTaskData* taskData, float progress) override;
    void OnVisualEvent(GVWorldObject* visual, const GNameMask* event) override;

    // A grave holds a creature block; any other block is refused (logged) and the old one kept.
    void SetData(std::unique_ptr<GObjectData> data) override;
    // A fresh creature block, GObject's Load, then the grave's attributes (absent ones empty
    // or 0).
    void Load(TXmlNode* node, LoadIdRegistry& ids) override;
    void Save(TXmlNode* node, SaveIdRegistry& ids) const override;

    str GetNickName() const { return mNickName; }
    void SetNickName(const str& nickName) { mNickName = nickName; }
    str GetDeath() const { return mDeath; }
    void SetDeath(const str& death) { mDeath = death; }
    int GetTimeLeft() const { return mTimeLeft; }

    // One tick: a standing grave counts down; at 0 it turns to -1 and its view's sprite starts
    // to "disappear" (skipped without a view); a faded grave stays at what it is. Answers the
    // new count.
    int CountDown();

private:
    int mTimeLeft = kStandingTime;
    str mNickName;
    str mDeath;
};
