// TWindowManager: the window system's manager. It owns the window tree through the stack of modal
// windows, whose bottom is the root screen window (SetScreen) and whose top alone receives input;
// the application's main loop hands it every platform event (HandleEvent), and the idle and paint
// events make it update and draw the tree at a paced rate, and not at all while nothing marked it
// dirty (Update, DrawModals). It also owns the window script (SetScript) and holds the flags that
// start-up and drawing read: the script's UTF-8 mode, redraw needed (dirty), drawing suspended
// and the input lock, the highlight frame and the two movie bytes.
//
// The bookkeeping the window tree relies on: the focus window, the windows that track the mouse
// (newest first) with a flag set whenever one leaves the list, the window last found under the
// pointer, the posted messages (owned, oldest first), the windows waiting for deletion, the
// message handlers (owned) and the hover handler (not owned), the overlay windows (owned) and the
// overlay texture. Windows tell it when they go (ForgetWindow, and a modal ForgetModal), so it
// never keeps a pointer to a dead window, and a modal that dies without being popped leaves the
// stack. Handlers may push and pop modals, delete windows or change tracking while the manager
// walks its lists: deferred deletion, the tracking-changed flag, the checks whether the top modal
// changed and the popped flag absorb that.
//
// While it exists it is the visual-object engine's window hook (gv/anim/gvtaskhost.h): sprite
// timers of a scene hosted by a window run in that window's modal.
//
// The parts live in windowmanager.cpp (lifecycle and bookkeeping), modalstack.cpp,
// eventdispatch.cpp and framedraw.cpp.
//
// Made and destroyed on the main thread; at most one exists at a time. The platform's cursor
// worker reads Get, the drawing-suspended flag and the screen's rectangle from its own thread,
// and sets the redraw-needed flag when it cannot draw the cursor: those are atomic or locked.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "foundation/str.h"
#include "math/point.h"
#include "ui/classid.h"
#include "ui/screen.h"

class TLuaFunction;
class TMessage;
class TModalWindow;
class TTexture;
class TWindowScript;
struct TPlatformEvent;

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
    // Frames are at least this far apart (milliseconds); in the background, unless the game is
    // hosted ("-pq=") or embedded, this far.
    static constexpr uint32_t kFrameInterval = 12;
    static constexpr uint32_t kBackgroundFrameInterval = 200;

    TWindowManager();
    // Deletes the message handlers, empties the tracked list, pops every modal (the screen too),
    // deletes the queued windows, the overlay windows and the posted messages, and lets the
    // overlay texture go. Modals that go now post no closing notice.
    ~TWindowManager();
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // The window manager, or null while none exists.
    static TWindowManager* Get();
    // Set while the destructor runs.
    bool IsBeingDestroyed() const { return mBeingDestroyed; }

    // Null until SetScript.
    TWindowScript* GetScript() const { return mScript.get(); }
    // Takes ownership; a previous script is deleted (with the messages it posted that are still
    // queued). The script gets the UTF-8 mode, the top modal as its current window and the Lua
    // function "SetTopModalOnly" (one boolean, no result), the game state (when there is one
    // already) binds its functions in it, and the application's task list gets
    // a task that runs it: the list deletes that task, never the script, which goes with this
    // manager after the windows.
    void SetScript(TWindowScript* script);
    // The script's DefineWindowType; nothing without a script.
    void RegisterWindowType(const str& name, TClassId creator);
    // Run the script file, or the Lua text, with the window as the script's current window;
    // false without a script or when the file did not run.
    bool RunScriptFor(TWindow* window, const str& fileName);
    void DoLuaStringFor(TWindow* window, const str& code);

    // The script's texts are UTF-8 (set when the string table "strings.xml" loaded); handed to the
    // script. Answers the previous value.
    bool SetScriptUtf8(bool on = true);
    bool IsScriptUtf8() const { return mScriptUtf8; }

    // ---- The modal stack (modalstack.cpp)

    // The root screen window; null until the first screen set-up. Any thread.
    TScreen* GetScreen() const { return mScreen.load(); }
    // Installs the root screen window: pushes it as the bottom modal (the stack owns it from then
    // on), sizes it to the renderer's viewport and answers its OnActivate. A second screen is
    // refused (false, logged).
    bool SetScreen(TScreen* screen);
    // The front of the modal stack; null while it is empty.
    TModalWindow* GetTopModal() const { return mModals.empty() ? nullptr : mModals.front(); }
    // The modals, top first.
    const std::deque<TModalWindow*>& GetModals() const { return mModals; }
    // Puts the modal on top: the tracked windows are let go (OnMouseLeave), the modal becomes a
    // child of the previous top, whose clock stops, takes the focus, is activated and, without a
    // width, takes its parent's size. A modal already on the stack, or one that holds the top,
    // is refused (false, logged): it would become its own descendant.
    bool PushModal(TModalWindow* modal);
    // Takes the top modal off (it is unlinked and deleted later), gives the new top the focus and
    // tells every window still in the tree (OnModalPopped). The bottom modal, the screen, is never
    // popped here.
    void PopModal();
    // Pops modals down to and including the first window on the parent chain from the top whose
    // name or id text ("%8x") is the name; never the bottom one. Whether anything was popped or
    // not, the clock of the modal then on top runs again.
    void DoPopModal(const str& name);
    // Called by a dying modal's destructor: it leaves the stack; when it was the top, the new top
    // takes the focus and its clock runs, as after a pop.
    void ForgetModal(TModalWindow* modal);
    // DrawModals draws the top modal alone while this is set; answers the value.
    bool SetTopModalOnly(bool on);
    bool IsTopModalOnly() const { return mTopModalOnly; }
    // Set by PopModal, cleared when a frame update starts; while set DrawModals draws nothing more.
    bool IsPopped() const { return mPopped; }

    // ---- Events (eventdispatch.cpp)

    // Dispatches one platform event: the queued windows are deleted first; then the idle event
    // runs the top modal's tasks, the posted messages and the frame update; pointer events go to
    // the tracked windows or the deepest window under the point; keys to the focus window (else
    // the top modal). Without a modal the event is dropped.
    void HandleEvent(const TPlatformEvent& event);
    // Delivers the posted messages, oldest first, until none is left (messages posted meanwhile
    // included): to their target window, else to the message handlers, then the focus window,
    // else the top modal. kQuitNow quits the program instead.
    void ProcessPostedMessages();

    // ---- Frames (framedraw.cpp)

    // Draws a frame when one is due: dirty, not suspended, the display usable and the frame
    // interval passed. A skipped frame leaves the manager dirty.
    void Update();
    // Draws the modals in the drawing pass: from the topmost one that covers the screen (or the
    // bottom) up to the top, the top itself skipped in pass 1; pass 2 and top-modal-only draw the
    // top alone.
    void DrawModals(int pass);

    void SetRedrawNeeded(bool needed) { mRedrawNeeded.store(needed); }
    // The whole window tree is redrawn on the next update.
    void MarkDirty() { mRedrawNeeded.store(true); }
    bool IsRedrawNeeded() const { return mRedrawNeeded.load(); }
    // While set, Update draws nothing (the display also skips its presents).
    void SetDrawingSuspended(bool suspended) { mDrawingSuspended.store(suspended); }
    bool IsDrawingSuspended() const { return mDrawingSuspended.load(); }
    void SetInputLocked(bool locked) { mInputLocked = locked; }
    bool IsInputLocked() const { return mInputLocked; }
    // Frames the window under the pointer in yellow.
    void SetHighlight(bool on) { mHighlight = on; }
    bool IsHighlight() const { return mHighlight; }
    // The movie player's bytes: a movie window exists; a movie that takes input is shown.
    void SetMovieShowing(bool showing) { mMovieShowing = showing; }
    bool IsMovieShowing() const { return mMovieShowing; }
    void SetMovieInput(bool input) { mMovieInput = input; }
    bool IsMovieInput() const { return mMovieInput; }

    // The overlay texture: while set, the modals below the top are drawn into it each frame and
    // the screen shows it (TScreen::Draw). Event type 17 lets it go.
    void SetOverlay(std::shared_ptr<TTexture> texture);
    std::shared_ptr<TTexture> GetOverlay() const { return mOverlay; }
    // Windows drawn above everything (outside the tree) and, with "overlaymouse" on, offered the
    // pointer first. Takes ownership.
    void AddOverlayWindow(TWindow* window);
    const std::vector<TWindow*>& GetOverlayWindows() const { return mOverlayWindows; }

    // ---- Bookkeeping

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
    // script (TWindowScript::QueueMessage). The message is taken over (deleted without a
    // script); the command stays the caller's.
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
    // deletion queue, the targets of posted messages, the overlay windows).
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
    class TScriptTask;

    // Takes the script's task out of the application's task list and deletes it.
    void DropScriptTask();
    // Takes the top modal off as PopModal does, the bottom one included.
    void PopTop();
    // Whether the window's name or id text is the name.
    static bool NameMatches(const TWindow* window, const str& name);
    bool IsTracked(const TWindow* window) const;
    // The pointer events (5 to 8 and 10) with and without tracked windows.
    void RoutePointer(const TPlatformEvent& event);
    void RouteTracked(const TPlatformEvent& event);
    // Offers the event to the overlay windows; true when one took it.
    bool OfferToOverlays(const TPlatformEvent& event);
    // Each tracked window's OnMouseLeave, until the top modal changes.
    void CaptureLost();
    // The frame itself, once it is due (framedraw.cpp).
    void DrawFrame();
    void DrawHighlight();

    // Declared first, so that it goes after everything that may refer to its state.
    std::unique_ptr<TWindowScript> mScript;
    // In the application's task list, which owns it; null while it is not there.
    TScriptTask* mScriptTask = nullptr;
    std::shared_ptr<TTexture> mOverlay;
    std::atomic<TScreen*> mScreen{nullptr};
    std::deque<TModalWindow*> mModals;
    std::deque<TWindow*> mToDelete;
    std::vector<TWindow*> mOverlayWindows;
    bool mPopped = false;
    uint32_t mLastFrame = 0;
    bool mTopModalOnly = false;
    bool mHighlight = false;
    bool mMovieShowing = false;
    bool mMovieInput = false;
    bool mScriptUtf8 = false;
    bool mBeingDestroyed = false;
    std::atomic<bool> mRedrawNeeded{true};
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
