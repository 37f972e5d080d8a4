// TMessage: a message between windows and scripts: a type number, a name whose meaning depends on
// the type, and the window it is addressed to (none by default). Messages live on the heap and
// whoever holds the pointer owns it: the code that offers a message to a window deletes it when
// the window consumes it, and TWindowManager::PostMessage takes over the messages posted to it.
// The target is not owned; the window manager clears it when the window goes.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <utility>

#include "foundation/str.h"
#include "ui/classid.h"

class TWindow;

class TMessage {
public:
    // The type numbers, shared with the scripts (the window library defines the same names).
    enum Type : int32_t {
        kGeneric = 0,
        kCloseWindow = 1,  // name: the "%8x" id of the modal window to close
        kDefaultAction = 2,
        kButtonPress = 3,
        kPressAnyKey = 4,  // name: "mouse:up", or "raw:" and the key code as one character
        kQuitNow = 5,
        kModalClosed = 6,  // name: the "%8x" id of the modal window that went
        kTextEditChanged = 7,
        kCommandOnly = 8,
        kSliderValChanged = 9,
        kSliderMouseUp = 10,
        kSliderPageUp = 11,
        kSliderPageDown = 12,
        kUserMessageBase = 1000,  // the game's own types start here
    };

    TMessage(int32_t type, str name, TWindow* target = nullptr)
        : mType(type), mName(std::move(name)), mTarget(target) {}
    TMessage(const TMessage&) = delete;
    TMessage& operator=(const TMessage&) = delete;

    virtual const char* GetClassName() const { return "TMessage"; }
    virtual bool IsKindOf(TClassId id) const { return id == TypeId(); }
    virtual ~TMessage() = default;

    static TClassId TypeId() { return &SelfClassId<TMessage>; }

    int32_t GetType() const { return mType; }
    const str& GetName() const { return mName; }
    TWindow* GetTarget() const { return mTarget; }
    void SetTarget(TWindow* target) { mTarget = target; }

protected:
    // Takes the other message's type, name and target (a wrapper copies what it stands for).
    void CopyFrom(const TMessage& other) {
        mType = other.mType;
        mName = other.mName;
        mTarget = other.mTarget;
    }

private:
    int32_t mType;
    str mName;
    TWindow* mTarget;
};
