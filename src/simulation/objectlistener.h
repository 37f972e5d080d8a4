// GObjectListener: the world as its objects see it. Objects start tasks, ask about events and
// counters, report deaths and finished buildings and look up their partners only through this
// interface; the world (world.h) implements it. Main thread only.
#pragma once

#include "foundation/str.h"

class GObject;
struct GTaskData;

class GObjectListener {
public:
    virtual ~GObjectListener() = default;

    // The world's rules for a task that ended, run before the subject chooses its next task.
    virtual void OnTaskCompleted(GTaskData* taskData) = 0;
    // Puts the shadows and the selection mark of the task's parties back; answers true.
    virtual bool ResetTaskAnimations(GTaskData* taskData) = 0;
    // Starts a task of the kind; object may be none. Answers whether one was started.
    virtual bool StartTask(int kind, GObject* subject, GObject* object) = 0;
    // The object becomes the definition of that full name.
    virtual void Transform(GObject* object, const str& fullName) = 0;
    // A location finished a construction stage; creature did the work.
    virtual void OnObjectEvent(GObject* location, GObject* creature) = 0;
    virtual bool IsEventSet(int id) = 0;
    virtual void FireWorldEvent(int id) = 0;
    // Whether the world's count of creatures that became lions is 0 or below.
    virtual bool IsCounterClear() = 0;
    // cause: 0 killed while defending, 1 hunger, 2 thirst, 3 disease, 4 old age. Answers true
    // when the world gave a creature in its place.
    virtual bool OnCreatureDeath(GObject* creature, int cause) = 0;
    // The disease a creature catches: 0 (none) to 5.
    virtual int RollOutcome() = 0;
    // The evolution total of task kind index.
    virtual int GetRegistryValue(int index) = 0;
    virtual int GetTaskBonusPercents(int kind) = 0;
    // The partner of an object in the world's four object pairs; none without one.
    virtual GObject* GetPairedObject(GObject* object) = 0;
    virtual float GetSpeedValue() = 0;
    virtual void SetArkMaterials(GObject* materials) = 0;
    virtual bool IsLastPairReady() = 0;
    virtual bool IsCarrierAtStep() = 0;
};
