// TModalWindow: a window that the window manager stacks as a dialog. Only the top modal receives
// input; every window inside a modal runs its timers in the modal's own task manager, on the
// modal's own clock, which stands still while another modal covers it. A modal keeps the window
// that takes the focus when it gets it (the default focus), and a cover set: the children that
// hide it entirely (opaque and as large as the modal), which make the modal itself opaque.
//
// Flags: kModalRoot and kFocusable on top of kVisible. Scripts cannot create a modal from a
// table (its id is no creator); they push one through the window manager. A kCloseWindow message
// named with a modal's name or id text closes the modals down to that one.
//
// The modal owns its task manager, which is deleted (with the tasks in it) before the windows
// inside the modal. A modal that goes leaves the window manager's stack and, unless the manager
// itself is going, posts kModalClosed named with its id text ("%8x"), which the Lua modal loop
// waits for. Main thread only.
#pragma once

#include <map>
#include <memory>
#include <set>

#include "foundation/task/clock.h"
#include "ui/window.h"
#include "ui/windowref.h"

class TTask;
class TTaskManager;

class TModalWindow : public TWindow {
public:
    TModalWindow();
    ~TModalWindow() override;

    const char* GetClassName() const override { return "TModalWindow"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TWindow::IsKindOf(id); }
    static TClassId TypeId() { return &SelfClassId<TModalWindow>; }

    // Starts the clock (from 0 the first time, else on from where it was paused).
    bool OnActivate() override;
    // Takes the size of the children before the table's own "fit" and placement.
    void PostInit(TWindowStyle& style) override;
    // Consumes kCloseWindow (a named one pops the modals down to the named one); passes every
    // other message on.
    bool OnMessage(TMessage* message) override;
    // Enter presses the default button, Escape the cancel button (modalkeys.cpp); unless the
    // press took the button off the screen, kDefaultAction goes from the focus window (or the
    // modal) up. False for any other character.
    bool OnChar(uint8_t ch) override;
    // A registered hot key presses its button: the exact combination first, then "@" and the
    // key on any modifiers.
    bool OnKeyDown(uint8_t key, int modifiers) override;
    // Hands the focus on to the default-focus window, when there is one.
    void OnSetFocus(TWindow* previous) override;

    // Maps the canonical key (NormalizeHotKey) to the button; an empty button name erases the
    // key, an empty key is ignored.
    virtual void SetHotKey(const str& key, const str& buttonName);
    // DoAction of the named button at any depth; logged when there is no such button.
    void PressHotKeyButton(const str& buttonName);

    // The task joins the modal's task manager (which owns it from then on).
    void AddTask(TTask* task);
    // Additions and removals made during an update: this task manager applies additions at once
    // and removals when its update ends, so between updates nothing is left to apply.
    void ApplyPendingTasks() {}
    // Runs the ready tasks (mode 0 on idle turns, 1 before drawing).
    void UpdateTasks(uint32_t mode);
    TTaskManager* GetTaskManager() const { return mTasks.get(); }

    // Null once the window is gone, wherever it was.
    TWindow* GetDefaultFocus() const { return mDefaultFocus.Get(); }
    // Stores the window (null allowed); when the modal has the focus, the focus moves to it at
    // once.
    void SetDefaultFocus(TWindow* window);

    // Enters the window into the cover set or takes it out; the modal is opaque (kOpaque, set
    // through SetFlags, so a covered modal reports to its own modal in turn) exactly while the
    // set is not empty.
    void SetCovered(TWindow* window, bool covers);
    bool IsCoveredBy(TWindow* window) const { return mCoverSet.count(window) != 0; }

    // The time base of every task in the task manager.
    TClock& GetClock() { return mClock; }

private:
    std::unique_ptr<TTaskManager> mTasks;
    // Canonical key text to button name.
    std::map<str, str> mHotKeys;
    TWindowRef mDefaultFocus;
    std::set<TWindow*> mCoverSet;
    TClock mClock;
    // Set while OnSetFocus hands the focus on: a default focus that leads back here stops.
    bool mForwardingFocus = false;
};
