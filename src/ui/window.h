// TWindow: the base of every element on the screen. A window is a node of one tree: it has a
// rectangle in its parent's coordinates (right and bottom exclusive), a name, a flags word, the
// children it owns (the newest first) and an optional timer. Screens, dialogs, buttons and texts
// are subclasses; scripts describe windows by Lua tables, which Init and PostInit read through a
// TWindowStyle (placement: windowplacement.cpp).
//
// Virtual operations, in their fixed order. Plug-ins and game classes build against it: a derived
// class keeps it and appends its own virtual operations after ReservedNotify.
//   GetClassName, IsKindOf, the destructor, OnActivate, ReservedQueryA, Init, PostInit, Draw,
//   PostDraw, AddChild, RemoveChild, OnModalPopped, SetScroll, OnMessage, OnTimer, OnMouseDown,
//   OnMouseButton, OnMouseUp, OnMouseMove, OnMouseLeave, ReservedQueryB, OnChar, OnTextInput,
//   OnKeyDown, OnKeyUp, OnMouseHover, OnSetFocus, ReservedNotify.
// Handlers answer true when they handled the input; unhandled input travels to the older
// siblings under the pointer, then to the parent, and stops at the modal root (HandleEvent).
//
// Ownership: a window owns its children and deletes them with itself. A window leaves its parent
// (RemoveChild) before it is deleted, normally through TWindowManager::DeleteWindowLater, never
// while an event or a drawing walks the tree; one deleted while still listed takes itself out of
// the list first. The timer task belongs to the task manager of the window's modal; the window
// and its task forget each other when either goes. Holders outside the tree keep a TWindowRef.
//
// Threads: the main thread only, with one exception: the cursor worker reads the root screen's
// rectangle from its own thread, so every change of a rectangle is made under the window's lock
// and GetRect takes it. The main thread's own reads go without it: they cannot race with writes
// made on the same thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "foundation/str.h"
#include "math/point.h"
#include "math/rect.h"
#include "ui/classid.h"

class TMessage;
class TModalWindow;
class TWindowAnim;
class TWindowSpider;
class TWindowStyle;
struct TPlatformEvent;

class TWindow {
public:
    using TBounds = TRect;

    // Flag bits. The low byte is fixed for the life of the window (set by constructors); bits 8
    // to 15 change through SetFlags.
    enum Flag : uint32_t {
        kModalRoot = 0x1,       // a TModalWindow: upward searches stop here, drawing skips it
        kFocusable = 0x2,       // a left press inside it gives it the focus
        kDrawInPass1 = 0x4,     // may be drawn in drawing pass 1
        kGroupStart = 0x8,      // begins a radio-button group
        kVisible = 0x100,       // a change of it asks for a redraw
        kDrawnInPass1 = 0x400,  // set by pass 1, cleared on the tree before every frame
        kOpaque = 0x800,        // covers its whole area (see TModalWindow's cover set)
    };
    // FindChild's and FindDeepestAt's unlimited depth.
    static constexpr uint32_t kAnyDepth = 0xFFFFFFFFu;

    explicit TWindow(const str& name = str());
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    virtual const char* GetClassName() const { return "TWindow"; }
    // True for the id of this class or of a base.
    virtual bool IsKindOf(TClassId id) const { return id == TypeId(); }
    virtual ~TWindow();
    // Called by AddChild(child, true) and when the window manager pushes or installs a modal;
    // false refuses the add.
    virtual bool OnActivate() { return true; }
    virtual bool ReservedQueryA() { return false; }
    // Reads "name" and the geometry.
    virtual void Init(TWindowStyle& style);
    // After the children exist: "fit", then the geometry again.
    virtual void PostInit(TWindowStyle& style);
    // Draws the window before its children; PostDraw after them.
    virtual void Draw() {}
    virtual void PostDraw() {}
    // Puts the child at the front (unless it is already listed) and makes this its parent; a
    // child still listed by another window leaves that one first, and a window that would become
    // its own descendant is refused (false, logged). With activate, the child's OnActivate
    // decides: a refusal takes the child out again, clears its parent, sizes it again to its own
    // size (which asks for a redraw) and answers false.
    virtual bool AddChild(TWindow* child, bool activate);
    // Unlinks a listed child (asking for a redraw); listed or not, the child leaves its modal's
    // cover set and its parent pointer is cleared.
    virtual void RemoveChild(TWindow* child);
    // Sent to every window below a modal that closed.
    virtual void OnModalPopped() {}
    virtual void SetScroll(float /*position*/, uint32_t /*unused*/) {}
    // True: consumed (the caller then deletes the message).
    virtual bool OnMessage(TMessage* /*message*/) { return false; }
    // False ends a running timer.
    virtual bool OnTimer() { return false; }
    // Points are in this window's coordinates.
    virtual bool OnMouseDown(const TPoint& /*point*/) { return false; }
    // Codes: 0 right up, 1 right down, 2 middle up, 3 middle down, 4 and 5 the extra buttons,
    // 6 wheel up, 7 wheel down.
    virtual bool OnMouseButton(const TPoint& /*point*/, int /*code*/) { return false; }
    virtual bool OnMouseUp(const TPoint& /*point*/) { return false; }
    virtual bool OnMouseMove(const TPoint& /*point*/) { return false; }
    // For tracked windows: the pointer left, tracking ended or the capture was lost.
    virtual bool OnMouseLeave() { return false; }
    virtual bool ReservedQueryB() { return false; }
    virtual bool OnChar(uint8_t /*ch*/) { return false; }
    virtual bool OnTextInput(str /*utf8*/) { return false; }
    // Key codes as the window system's byte: the arrows 128 to 131, Insert 132, Page Up 133,
    // Page Down 134, Delete 255. Modifier bits: 1 shift, 2 control, 4 alt, 8 extended key.
    virtual bool OnKeyDown(uint8_t /*key*/, int /*modifiers*/) { return false; }
    virtual bool OnKeyUp(uint8_t /*key*/) { return false; }
    // Asks the window manager's hover handler.
    virtual bool OnMouseHover(const TPoint& point);
    // Called on the window that has just received the focus.
    virtual void OnSetFocus(TWindow* /*previous*/) {}
    virtual void ReservedNotify(int /*unused*/) {}

    // Class identity (classid.h). TWindow's id is its creator.
    static TClassId TypeId() { return &Create; }
    // Makes a TWindow with default arguments.
    static void* Create();
    // What the creator makes; null for the id of a class that cannot be created.
    static TWindow* CallCreator(TClassId creator);
    // The window when it is of the class (or derived from it); null otherwise and for null.
    static TWindow* CastTo(TWindow* window, TClassId id);
    template <class T>
    static T* CastTo(TWindow* window) {
        return static_cast<T*>(CastTo(window, T::TypeId()));
    }

    TWindow* GetParent() const { return mParent; }
    // Sets the pointer only (the lists are not touched); answers the previous parent.
    TWindow* SetParent(TWindow* parent);
    // The children, newest first: GetFirstChild is the newest, GetNextSibling the next older
    // one; GetLastChild and GetPrevSibling walk the other way.
    TWindow* GetFirstChild() const { return mFirstChild; }
    TWindow* GetLastChild() const { return mLastChild; }
    TWindow* GetNextSibling() const { return mNextSibling; }
    TWindow* GetPrevSibling() const { return mPrevSibling; }

    const str& GetName() const { return mName; }
    void SetName(const str& name) { mName = name; }
    uint32_t GetId() const { return mId; }
    // The serial id as "%8x": lower-case hex right-aligned in 8 characters. Modal windows and
    // messages use it as a name.
    str GetIdString() const;
    // The id the next window gets (tests start a count again).
    static void SetNextId(uint32_t id);

    uint32_t GetFlags() const { return mFlags; }
    // Keeps the low byte, takes bits 8 to 15 and clears the rest. A change of kVisible asks for
    // a redraw; then the window enters its modal's cover set when it is opaque and as large as
    // the modal, and leaves it otherwise.
    void SetFlags(uint32_t flags);

    // Any thread (under the lock).
    TBounds GetRect() const;
    // Sets the rectangle as it is: no redraw, no cover set.
    void SetRect(const TBounds& rect);
    // right - left and bottom - top (saturated: rectangles from scripts may be absurd).
    int GetWidth() const;
    int GetHeight() const;
    // Keeps the size; asks for a redraw.
    void MoveTo(int x, int y);
    // Keeps the left and top; asks for a redraw; the window enters its modal's cover set when
    // it is opaque and as large as the screen, and leaves it otherwise.
    void SetSize(int width, int height);
    // The rectangle in screen coordinates, and {0, 0, width, height}.
    TRect GetScreenRect() const;
    TRect GetClientRect() const { return TRect{0, 0, GetWidth(), GetHeight()}; }
    void ClientToScreen(TPoint& point) const;
    void ScreenToClient(TPoint& point) const;
    // Between the parent's coordinates and this window's.
    void ToParent(TPoint& point) const;
    void FromParent(TPoint& point) const;

    // This window when it has the name, else the first match among the children (newest first)
    // searched to depth - 1; null at depth 0.
    TWindow* FindChild(const str& name, uint32_t depth = kAnyDepth);
    // The first child, newest first, that is shown and contains the point (in this window's
    // coordinates); this window when none does.
    TWindow* FindChildAt(const TPoint& point);
    // FindChildAt repeated down the tree, at most depth times; null for depth 0. pointInFound,
    // when given, receives the point in the found window's coordinates.
    TWindow* FindDeepestAt(const TPoint& point, uint32_t depth, TPoint* pointInFound = nullptr);
    // Whether the ancestor is this window or one of its parents.
    bool IsWithin(const TWindow* ancestor) const;
    // The nearest ancestor with kModalRoot, when it is a TModalWindow; else null.
    TModalWindow* GetModalParent() const;
    // Whether the window is shown: visible, and so is every window up to its modal root, whose
    // own kVisible decides.
    bool GetInheritedFlag() const;
    // Visits the children, newest first (or oldest first), until a visit answers false. The
    // next child is fetched before each visit, so a visit may remove the visited child.
    void ForEachChild(TWindowSpider& spider, bool backwards = false);
    // Grows to the largest right and bottom of the children; never shrinks.
    void FitToChildren();
    // Removes each child and hands it to TWindowManager::DeleteWindowLater.
    void DeleteChildren();

    // Placement from a window's Lua table (windowplacement.cpp): reads "x", "y", "w", "h" and
    // "align" and places the window, filling in only what is still 0.
    void ApplyGeometry(TWindowStyle& style);
    // Resolves a position and a size against the parent's width (or height when vertical),
    // with the magic positions kCenter (80000) and kMax (160000) and the stretch sizes above
    // 80000. align: the "align" bits (1 and 2 across, 4 and 8 down), -1 when none was given.
    void ResolveCoordinate(int& pos, int& size, int align, bool vertical) const;

    // Draws the window and its subtree in drawing pass 0, 1 or 2; false when the window was not
    // drawn (hidden, or not in this pass).
    bool DrawTree(int pass);
    // Routes an input event whose point is in this window's coordinates: this window's handler,
    // the focus on a left press, then the older siblings under the point or the parent.
    bool HandleEvent(const TPlatformEvent& event, bool focusTaken);
    // Takes the message over: offers it to this window and its parents up to the modal root,
    // then to the modal's default-focus window, then to the window script's queue.
    void SendMessage(TMessage* message);

    // Makes the timer task on first use, in the task manager of the window's modal and on the
    // modal's clock, then schedules it (TAnimTask::SetTimer). Each firing calls OnTimer.
    void SetTimer(uint32_t interval, bool repeat, bool fromNow, bool catchUp);
    // The task forgets the window (it ends at its next run) and the window the task.
    void ReleaseTimer();
    TWindowAnim* GetTimerTask() const { return mTimer; }

protected:
    // Sets the whole flags word as it is, low byte included: no redraw, no cover set.
    void SetRawFlags(uint32_t flags) { mFlags = flags; }

private:
    friend class TWindowAnim;
    friend class TWindowClearFlags;
    friend class TWindowRef;

    // Unlinks a listed child from this window's list only.
    void Unlink(TWindow* child);
    // The window's modal takes it into its cover set when the window is opaque and as large as
    // the modal (or the screen), and drops it otherwise.
    void ReportCover(bool againstScreen);
    void ReportCoverTo(TModalWindow* modal, bool againstScreen);
    // SetFlags for a window whose modal parent the caller knows: a walk over the whole tree
    // (TWindowClearFlags, every frame) need not look it up for each window.
    void SetFlagsUnder(uint32_t flags, TModalWindow* modal);
    // DrawTree with the window's screen origin handed down by the parent, summed exactly (a
    // walk up to the root for every window drawn would make a frame quadratic in the depth).
    bool DrawTreeAt(int pass, int64_t originX, int64_t originY);
    // The shown test of the hit test: like GetInheritedFlag, but a visible window at the top
    // without kModalRoot counts as shown.
    bool IsShownForHit() const;
    // FindChildAt for a window whose own hit-test answer is known.
    TWindow* FindShownChildAt(const TPoint& point, bool selfShown);
    // Offers an unhandled event to the older siblings under the point, else to the parent.
    bool PassOn(const TPlatformEvent& event, bool focusTaken);
    // The flag TWindowRef holds weakly; made on first use.
    const std::shared_ptr<TWindow*>& GetSelfRef();

    TWindow* mParent = nullptr;
    // The children list, newest first: the window whose list holds this one, its neighbours,
    // and this window's own first and last children.
    TWindow* mOwner = nullptr;
    TWindow* mPrevSibling = nullptr;
    TWindow* mNextSibling = nullptr;
    TWindow* mFirstChild = nullptr;
    TWindow* mLastChild = nullptr;
    TBounds mRect;
    str mName;
    uint32_t mFlags = kVisible;
    uint32_t mId;
    TWindowAnim* mTimer = nullptr;
    mutable std::mutex mMutex;
    std::shared_ptr<TWindow*> mSelfRef;
};
