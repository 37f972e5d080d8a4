// The task starters of the world and a listener that hears every call of one. GWorld::StartTask
// chooses the starter of a task kind (a monster's requests all go to the monster's starter); a
// few rules call a starter directly. The listener, when the world has one, hears each call with
// its answer and whether it came through StartTask: the tests' record of what the world asked
// for. Main thread only.
#pragma once

class GObject;

enum class GStarter {
    kNone,
    kBreeding,
    kWorkOnTarget,
    kDoctoring,
    kWander,
    kStayAndAct,
    kStoreWalk,
    kConsuming,
    kTreatment,
    kDevolving,
    kProducing,
    kHerbCollecting,
    kJob,
    kRunAway,
    kFailing,
    kShortPause,
    kCarryArkPart,
    kBushRepair,
    kCarryToArk,
    kFrozenPause,
    kGraveyard,
    kMonster,
};

struct GStarterCall {
    GStarter starter = GStarter::kNone;
    int kind = 0;
    GObject* subject = nullptr;
    GObject* object = nullptr;
    // Whether a task was started.
    bool started = false;
    // Whether the call came through StartTask.
    bool dispatched = false;
};

class GStarterListener {
public:
    virtual ~GStarterListener() = default;

    // After the starter answered.
    virtual void OnStarterCalled(const GStarterCall& call) = 0;
};
