// The timer tasks that drive visual objects and interpolators: a TAnimTask (foundation) that calls
// a member function of its object each time it is due.
//
// Ownership: the task list the timer was added to owns it (a modal window's, or the platform's);
// the object only points at it, and it only points at the object. Either may go first, so each
// unlinks the other:
// - the object, going first, calls Detach: the timer forgets the object, clears the object's timer
//   field and is made due at once, so that its next run (without an object, Animate answers false)
//   ends it and its list deletes it; a parked timer is made due too, or no list would ever end it;
// - the timer, deleted first (its list destroyed), clears its object's timer field.
//
// T provides ForgetTimer (timer): clears its timer field when it holds that timer.
// Main thread only.
#pragma once

#include "foundation/task/animtask.h"

class TCustomOnTimerCaller : public TAnimTask {
public:
    // The application clock.
    TCustomOnTimerCaller() : TAnimTask(nullptr) {}
    // Unlinks the timer from its object and lets its list end it (see above).
    virtual void Detach() = 0;
};

// Host names the window class whose task lists run the timer; the timer never calls it.
template <class T, class Host>
class TOnTimerCaller : public TCustomOnTimerCaller {
public:
    using Function = bool (T::*)(TCustomOnTimerCaller* timer);

    TOnTimerCaller(T* object, Function function) : mObject(object), mFunction(function) {}
    ~TOnTimerCaller() override {
        if (mObject != nullptr) mObject->ForgetTimer(this);
    }

    // Without an object, false: the task ends.
    bool Animate() override { return mObject != nullptr ? (mObject->*mFunction)(this) : false; }

    // A second call does nothing more.
    void Detach() override {
        if (mObject == nullptr) return;
        T* object = mObject;
        mObject = nullptr;
        object->ForgetTimer(this);
        SetTimer(0, false, true, false);
    }

    T* GetObject() const { return mObject; }

private:
    T* mObject;
    Function mFunction;
};
