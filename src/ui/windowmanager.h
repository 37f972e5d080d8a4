// TWindowManager: the window system's manager. It holds the window script, which it owns
// (SetScript), the root screen window (SetScreen), and the flags start-up and drawing read: the
// script's UTF-8 mode, redraw needed (dirty), drawing suspended and the input lock. It is
// reachable through Get while it exists: native classes find the script state for their
// bindings through it (TWindowManager::Get()->GetScript()), and every window reaches it for
// redraws and bookkeeping.
//
// The bookkeeping the window tree relies on: the focus window, the windows that track the mouse
// (newest first) with a flag set whenever one leaves the list, the window last found under the
// pointer, the posted messages (owned, oldest first), the windows waiting for deletion, the
// message handlers (owned) and the hover handler (not owned), and the modal stack (top first).
// Windows tell it when they go (ForgetWindow), so it never keeps a pointer to a dead window.
//
// Made and destroyed on the main thread; at most one exists at a time. The platform's cursor
// worker reads Get, the drawing-suspended flag and the screen's rectangle from its own thread,
// and sets the redraw-needed flag when it cannot draw the cursor: those are atomic or locked.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <vector>

#include "math/point.h"
#include "ui/screen.h"

class TLuaFunction;
class TMessage;
class TModalWindow;
class TWindowScript;

// Offered the posted messages that have no target, in order of installation. Answers true when
// it consumed the message (which is then deleted).
class TWindowMessageHandler {
public:
    virtual ~TWindowMessageHandler() = default;
    virtual bool HandleMessage(TMessage* message) = 0;
};

// Answers the hover events of windows that do not handle them themselves.
class TWindowHoverHandler {
public:
    virtual ~TWindowHoverHandler() = default;
    virtual bool HandleHover(TWindow* window, const TPoint& point) = 0;
};

class TWindowManager {
public:
    TWindowManager();
    ~TWindowManager();
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // The window manager, or null while none exists.
    static TWindowManager* Get();

    // Null until SetScript.
    TWindowScript* GetScript() const { return mScript.get(); }
    // Takes ownership; a previous script is deleted.
    void SetScript(TWindowScript* script);

    // The script's texts are UTF-8 (set when the string table "strings.xml" loaded).
    void SetScriptUtf8(bool on = true) { mScriptUtf8 = on; }
    bool IsScriptUtf8() const { return mScriptUtf8; }

    // The root screen window; null until the first screen set-up. Takes ownership.
    TScreen* GetScreen() const { return mScreen.get(); }
    void SetScreen(TScreen* screen) { mScreen.reset(screen); }

    void SetRedrawNeeded(bool needed) { mRedrawNeeded.store(needed); }
    // The whole window tree is redrawn on the next update.
    void MarkDirty() { mRedrawNeeded.store(true); }
    bool IsRedrawNeeded() const { return mRedrawNeeded.load(); }
    void SetDrawingSuspended(bool suspended) { mDrawingSuspended.store(suspended); }
    bool IsDrawingSuspended() const { return mDrawingSuspended.load(); }
    void SetInputLocked(bool locked) { mInputLocked = locked; }
    bool IsInputLocked() const { return mInputLocked; }

    // The front of the modal stack; null while it is empty.
    TModalWindow* GetTopModal() const { return mModals.empty() ? nullptr : mModals.front(); }
    // Puts a modal on top of the stack and takes the top off, and nothing more: the stack's
    // own operations (focus, clocks, activation) come with the modal loop; tests stack their
    // modals with these.
    void PushModalForTest(TModalWindow* modal) { mModals.push_front(modal); }
    void PopModalForTest() {
        if (!mModals.empty()) mModals.pop_front();
    }

    TWindow* GetFocusWindow() const { return mFocus; }
    // The focus becomes the window; a window (not null) hears of it with the previous focus.
    void SetFocusWindow(TWindow* window);

    // The window gets every pointer event while it is listed (newest first; listed once).
    void TrackMouse(TWindow* window);
    // Takes the window off the list, when it is on it, and sets the tracking-changed flag.
    void UntrackMouse(TWindow* window);
    const std::vector<TWindow*>& GetTrackedWindows() const { return mTracked; }
    bool IsTrackingChanged() const { return mTrackingChanged; }
    void SetTrackingChanged(bool changed) { mTrackingChanged = changed; }

    TWindow* GetWindowUnderPointer() const { return mUnderPointer; }
    void SetWindowUnderPointer(TWindow* window) { mUnderPointer = window; }

    // Takes the message over and appends it to the posted messages.
    void PostMessage(TMessage* message);
    // The posted messages, oldest first, and the oldest taken out (the caller owns it).
    const std::deque<std::unique_ptr<TMessage>>& GetPostedMessages() const { return mPosted; }
    TMessage* TakePostedMessage();
    // Hands a message nobody in the tree took, and a button's Lua command, to the window
    // script's queue. Until the script queues messages, both are deleted.
    void QueueScriptMessage(TMessage* message, TLuaFunction* command);

    // Deletes the window at the next safe point (DeleteQueued). The messages posted to it or to
    // a window inside it lose their target, it stops tracking the mouse and it is no longer the
    // window under the pointer. A window already queued is not queued again.
    void DeleteWindowLater(TWindow* window);
    // Deletes the queued windows; when there were any, asks for a redraw and forgets the window
    // under the pointer.
    void DeleteQueued();
    bool IsDeleteQueued(const TWindow* window) const;
    // Called by every window's destructor: drops every reference to the window (focus, window
    // under the pointer, tracking, the default focus of the modals from the top down, the
    // deletion queue, the targets of posted messages).
    void ForgetWindow(TWindow* window);

    // Takes ownership.
    void AddMessageHandler(TWindowMessageHandler* handler);
    const std::vector<std::unique_ptr<TWindowMessageHandler>>& GetMessageHandlers() const {
        return mHandlers;
    }
    // Not owned; null removes it.
    void SetHoverHandler(TWindowHoverHandler* handler) { mHoverHandler = handler; }
    // The hover handler's answer; false without one.
    bool CallHoverHandler(TWindow* window, const TPoint& point);

private:
    std::unique_ptr<TWindowScript> mScript;
    std::unique_ptr<TScreen> mScreen;
    std::deque<TModalWindow*> mModals;
    std::deque<TWindow*> mToDelete;
    bool mScriptUtf8 = false;
    std::atomic<bool> mRedrawNeeded{false};
    std::atomic<bool> mDrawingSuspended{false};
    bool mInputLocked = false;
    bool mTrackingChanged = false;
    TWindow* mUnderPointer = nullptr;
    std::vector<TWindow*> mTracked;
    TWindow* mFocus = nullptr;
    std::deque<std::unique_ptr<TMessage>> mPosted;
    std::vector<std::unique_ptr<TWindowMessageHandler>> mHandlers;
    TWindowHoverHandler* mHoverHandler = nullptr;
};
