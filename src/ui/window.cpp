#include "ui/window.h"

#include "foundation/log.h"
#include "foundation/saturate.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/platformevent.h"
#include "platform/settingkeys.h"
#include "ui/luamessage.h"
#include "ui/modalwindow.h"
#include "ui/windowanim.h"
#include "ui/windowmanager.h"
#include "ui/windowspider.h"

namespace {

uint32_t gNextId = 0;

void MarkDirty() {
    if (TWindowManager* manager = TWindowManager::Get()) manager->MarkDirty();
}

bool IsPointerEvent(int32_t type) {
    return (type >= kEventLeftDown && type <= kEventMouseMove) || type == kEventMouseHover;
}

// Coordinates are summed in 64 bits: rectangles from scripts may lie anywhere in the int range.
int Offset(int value, int by) {
    return SaturateToInt(int64_t{value} + by);
}

}  // namespace

TWindow::TWindow(const str& name) : mName(name), mId(gNextId++) {}

TWindow::~TWindow() {
    if (mTimer != nullptr) {
        mTimer->mWindow = nullptr;
        mTimer = nullptr;
    }
    TWindowManager* manager = TWindowManager::Get();
    if (manager != nullptr) manager->MarkDirty();
    if (TModalWindow* modal = GetModalParent()) modal->SetCovered(this, false);
    // Only a parent's destructor may delete a listed window; anyone else would leave the parent
    // holding a dangling pointer, so such a window leaves the list first.
    if (mOwner != nullptr) mOwner->Unlink(this);
    while (TWindow* child = mFirstChild) {
        Unlink(child);
        delete child;
    }
    if (manager != nullptr) manager->ForgetWindow(this);
    mSelfRef.reset();
}

void* TWindow::Create() {
    return static_cast<TWindow*>(new TWindow);
}

TWindow* TWindow::CallCreator(TClassId creator) {
    if (creator == nullptr) return nullptr;
    void* made = creator();
    if (made == reinterpret_cast<void*>(creator)) return nullptr;
    return static_cast<TWindow*>(made);
}

TWindow* TWindow::CastTo(TWindow* window, TClassId id) {
    return window != nullptr && window->IsKindOf(id) ? window : nullptr;
}

TWindow* TWindow::SetParent(TWindow* parent) {
    TWindow* previous = mParent;
    mParent = parent;
    return previous;
}

str TWindow::GetIdString() const {
    return str::Format("%8x", mId);
}

void TWindow::SetNextId(uint32_t id) {
    gNextId = id;
}

void TWindow::SetFlags(uint32_t flags) {
    SetFlagsUnder(flags, GetModalParent());
}

void TWindow::SetFlagsUnder(uint32_t flags, TModalWindow* modal) {
    uint32_t old = mFlags;
    mFlags = (flags & 0xFF00u) | (old & 0xFFu);
    if ((old ^ mFlags) & kVisible) MarkDirty();
    ReportCoverTo(modal, false);
}

void TWindow::ReportCover(bool againstScreen) {
    ReportCoverTo(GetModalParent(), againstScreen);
}

void TWindow::ReportCoverTo(TModalWindow* modal, bool againstScreen) {
    if (modal == nullptr) return;
    const TWindow* sizeOf = modal;
    if (againstScreen) {
        TWindowManager* manager = TWindowManager::Get();
        sizeOf = manager != nullptr ? manager->GetScreen() : nullptr;
    }
    bool covers = (mFlags & kOpaque) != 0 && sizeOf != nullptr &&
                  GetWidth() == sizeOf->GetWidth() && GetHeight() == sizeOf->GetHeight();
    modal->SetCovered(this, covers);
}

TWindow::TBounds TWindow::GetRect() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mRect;
}

void TWindow::SetRect(const TBounds& rect) {
    std::lock_guard<std::mutex> lock(mMutex);
    mRect = rect;
}

int TWindow::GetWidth() const {
    return SaturateToInt(int64_t{mRect.right} - mRect.left);
}

int TWindow::GetHeight() const {
    return SaturateToInt(int64_t{mRect.bottom} - mRect.top);
}

void TWindow::MoveTo(int x, int y) {
    {
        int width = GetWidth();
        int height = GetHeight();
        std::lock_guard<std::mutex> lock(mMutex);
        mRect = TBounds{x, y, Offset(x, width), Offset(y, height)};
    }
    MarkDirty();
}

void TWindow::SetSize(int width, int height) {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mRect.right = Offset(mRect.left, width);
        mRect.bottom = Offset(mRect.top, height);
    }
    MarkDirty();
    ReportCover(true);
}

TRect TWindow::GetScreenRect() const {
    TPoint origin;
    ClientToScreen(origin);
    return TRect{origin.x, origin.y, Offset(origin.x, GetWidth()), Offset(origin.y, GetHeight())};
}

void TWindow::ClientToScreen(TPoint& point) const {
    for (const TWindow* window = this; window != nullptr; window = window->mParent) {
        window->ToParent(point);
    }
}

void TWindow::ScreenToClient(TPoint& point) const {
    TPoint origin;
    ClientToScreen(origin);
    point.x = SaturateToInt(int64_t{point.x} - origin.x);
    point.y = SaturateToInt(int64_t{point.y} - origin.y);
}

void TWindow::ToParent(TPoint& point) const {
    point.x = Offset(point.x, mRect.left);
    point.y = Offset(point.y, mRect.top);
}

void TWindow::FromParent(TPoint& point) const {
    point.x = SaturateToInt(int64_t{point.x} - mRect.left);
    point.y = SaturateToInt(int64_t{point.y} - mRect.top);
}

bool TWindow::IsWithin(const TWindow* ancestor) const {
    for (const TWindow* window = this; window != nullptr; window = window->mParent) {
        if (window == ancestor) return true;
    }
    return false;
}

bool TWindow::AddChild(TWindow* child, bool activate) {
    if (child == nullptr) return false;
    if (IsWithin(child)) {
        LogPrintf("AddChild refused: window '%s' would become its own descendant",
                  child->mName.c_str());
        return false;
    }
    if (child->mOwner != this) {
        // A window listed by two parents would be deleted twice.
        if (child->mOwner != nullptr) child->mOwner->RemoveChild(child);
        child->mOwner = this;
        child->mPrevSibling = nullptr;
        child->mNextSibling = mFirstChild;
        if (mFirstChild != nullptr) {
            mFirstChild->mPrevSibling = child;
        } else {
            mLastChild = child;
        }
        mFirstChild = child;
        child->mParent = this;
    }
    if (!activate || child->OnActivate()) return true;
    if (child->mOwner == this) Unlink(child);
    child->mParent = nullptr;
    child->SetSize(child->GetWidth(), child->GetHeight());
    return false;
}

void TWindow::RemoveChild(TWindow* child) {
    if (child == nullptr) return;
    if (child->mOwner == this) {
        MarkDirty();
        Unlink(child);
    }
    if (TModalWindow* modal = child->GetModalParent()) modal->SetCovered(child, false);
    child->mParent = nullptr;
}

void TWindow::Unlink(TWindow* child) {
    if (child->mPrevSibling != nullptr) {
        child->mPrevSibling->mNextSibling = child->mNextSibling;
    } else {
        mFirstChild = child->mNextSibling;
    }
    if (child->mNextSibling != nullptr) {
        child->mNextSibling->mPrevSibling = child->mPrevSibling;
    } else {
        mLastChild = child->mPrevSibling;
    }
    child->mPrevSibling = nullptr;
    child->mNextSibling = nullptr;
    child->mOwner = nullptr;
}

TWindow* TWindow::FindChild(const str& name, uint32_t depth) {
    if (mName == name) return this;
    if (depth == 0) return nullptr;
    for (TWindow* child = mFirstChild; child != nullptr; child = child->mNextSibling) {
        if (TWindow* found = child->FindChild(name, depth - 1)) return found;
    }
    return nullptr;
}

bool TWindow::GetInheritedFlag() const {
    for (const TWindow* window = this;; window = window->mParent) {
        if (window->mFlags & kModalRoot) return (window->mFlags & kVisible) != 0;
        if (!(window->mFlags & kVisible) || window->mParent == nullptr) return false;
    }
}

bool TWindow::IsShownForHit() const {
    for (const TWindow* window = this;; window = window->mParent) {
        if (window->mFlags & kModalRoot) return (window->mFlags & kVisible) != 0;
        if (!(window->mFlags & kVisible)) return false;
        if (window->mParent == nullptr) return true;
    }
}

TWindow* TWindow::FindChildAt(const TPoint& point) {
    return FindShownChildAt(point, IsShownForHit());
}

// A child is shown when it is a visible modal root, or visible under a shown parent; the
// parent's answer is worked out once for all its children.
TWindow* TWindow::FindShownChildAt(const TPoint& point, bool selfShown) {
    for (TWindow* child = mFirstChild; child != nullptr; child = child->mNextSibling) {
        if (!child->mRect.Contains(point) || !(child->mFlags & kVisible)) continue;
        if (selfShown || (child->mFlags & kModalRoot)) return child;
    }
    return this;
}

TWindow* TWindow::FindDeepestAt(const TPoint& point, uint32_t depth, TPoint* pointInFound) {
    if (depth == 0) return nullptr;
    TWindow* window = this;
    TPoint local = point;
    bool shown = IsShownForHit();
    for (; depth > 0; --depth) {
        TWindow* child = window->FindShownChildAt(local, shown);
        if (child == window) break;
        child->FromParent(local);
        window = child;
        shown = true;
    }
    if (pointInFound != nullptr) *pointInFound = local;
    return window;
}

TModalWindow* TWindow::GetModalParent() const {
    for (TWindow* window = mParent; window != nullptr; window = window->mParent) {
        if (window->mFlags & kModalRoot) return CastTo<TModalWindow>(window);
    }
    return nullptr;
}

void TWindow::ForEachChild(TWindowSpider& spider, bool backwards) {
    TWindow* child = backwards ? mLastChild : mFirstChild;
    while (child != nullptr) {
        TWindow* next = backwards ? child->mPrevSibling : child->mNextSibling;
        if (!spider.Visit(child)) return;
        child = next;
    }
}

void TWindow::FitToChildren() {
    GetLargest largest(GetWidth(), GetHeight());
    ForEachChild(largest);
    SetSize(largest.GetRight(), largest.GetBottom());
}

void TWindow::DeleteChildren() {
    ChildrenDelete spider(this, TWindowManager::Get());
    ForEachChild(spider);
}

bool TWindow::OnMouseHover(const TPoint& point) {
    TWindowManager* manager = TWindowManager::Get();
    return manager != nullptr && manager->CallHoverHandler(this, point);
}

void TWindow::SetTimer(uint32_t interval, bool repeat, bool fromNow, bool catchUp) {
    if (mTimer == nullptr) {
        TModalWindow* modal = CastTo<TModalWindow>(this);
        if (modal == nullptr) modal = GetModalParent();
        if (modal == nullptr) {
            LogPrintf("SetTimer: window '%s' (id %x) is in no modal window; no timer runs",
                      mName.c_str(), mId);
            return;
        }
        mTimer = new TWindowAnim(this, &modal->GetClock());
        modal->AddTask(mTimer);
    }
    mTimer->SetTimer(interval, repeat, fromNow, catchUp);
}

void TWindow::ReleaseTimer() {
    if (mTimer == nullptr) return;
    mTimer->mWindow = nullptr;
    mTimer = nullptr;
}

const std::shared_ptr<TWindow*>& TWindow::GetSelfRef() {
    if (mSelfRef == nullptr) mSelfRef = std::make_shared<TWindow*>(this);
    return mSelfRef;
}

bool TWindow::DrawTree(int pass) {
    TPoint origin;
    ClientToScreen(origin);
    return DrawTreeAt(pass, int64_t{origin.x}, int64_t{origin.y});
}

bool TWindow::DrawTreeAt(int pass, int64_t originX, int64_t originY) {
    if (!(mFlags & kVisible)) return false;
    if (pass == 1) {
        if (!(mFlags & kDrawInPass1) || mParent == nullptr || !(mParent->mFlags & kDrawnInPass1)) {
            return false;
        }
        mFlags |= kDrawnInPass1;
    } else if (pass == 2 && (mFlags & kDrawnInPass1)) {
        return false;
    }
    TRenderer* renderer = TRenderer::GetInstance();
    // The screen rectangle (GetScreenRect), from the origin the parent handed down.
    TRect screen{SaturateToInt(originX), SaturateToInt(originY),
                 SaturateToInt(originX + GetWidth()), SaturateToInt(originY + GetHeight())};
    TRect clip = TRect::Intersect(screen, renderer->GetTopViewport());
    if (clip.IsEmpty()) return true;
    bool saveState = screen.right != 0;
    if (saveState) renderer->SetViewport(screen);
    renderer->PushViewport(clip);
    Draw();
    // Oldest first, so the newest is drawn on top.
    for (TWindow* child = mLastChild; child != nullptr;) {
        TWindow* next = child->mPrevSibling;
        if (!(child->mFlags & kModalRoot)) {
            child->DrawTreeAt(pass, originX + child->mRect.left, originY + child->mRect.top);
        }
        child = next;
    }
    PostDraw();
    if (saveState) renderer->PopState();
    renderer->PopViewport();
    return true;
}

bool TWindow::HandleEvent(const TPlatformEvent& event, bool focusTaken) {
    TPoint point{event.x, event.y};
    // Key codes reach windows as an unsigned byte: the platform's -128 (Up) is 128 here.
    auto code = static_cast<uint8_t>(event.value);
    bool handled = false;
    switch (event.type) {
        case kEventLeftDown:
            handled = OnMouseDown(point);
            break;
        case kEventButton:
            handled = OnMouseButton(point, event.value);
            break;
        case kEventLeftUp:
            handled = OnMouseUp(point);
            break;
        case kEventMouseMove:
            handled = OnMouseMove(point);
            break;
        case kEventMouseHover:
            handled = OnMouseHover(point);
            break;
        case kEventKeyDown:
            handled = OnKeyDown(code, event.extra);
            break;
        case kEventKeyUp:
            handled = OnKeyUp(code);
            break;
        case kEventChar:
            handled = OnChar(code);
            break;
        case kEventUnicodeChar: {
            str text = str::FromCodePoint(static_cast<uint32_t>(event.value));
            handled = OnTextInput(text);
            if (!handled && text.GetAt(1) == 0) handled = OnChar(code);
            break;
        }
        default:
            break;
    }

    TWindowManager* manager = TWindowManager::Get();
    if (event.type == kEventLeftDown && !focusTaken && manager != nullptr) {
        for (TWindow* window = this; window != nullptr; window = window->mParent) {
            if (window->mFlags & kFocusable) {
                manager->SetFocusWindow(window);
                focusTaken = true;
                break;
            }
        }
    }
    if (handled) return true;

    if (mFlags & kModalRoot) {
        // Dialogs that wait for "any key" hear of the release and the key nobody took (with
        // "overlaymouse" on, the window manager posts the release itself).
        if (manager != nullptr && !IsEnabled(settingkey::kOverlayMouse)) {
            if (event.type == kEventLeftUp) {
                manager->PostMessage(new TMessage(TMessage::kPressAnyKey, "mouse:up"));
            } else if (event.type == kEventKeyDown) {
                manager->PostMessage(
                    new TMessage(TMessage::kPressAnyKey, str("raw:") + static_cast<char>(code)));
            }
        }
        return false;
    }
    return PassOn(event, focusTaken);
}

bool TWindow::PassOn(const TPlatformEvent& event, bool focusTaken) {
    TPlatformEvent copy = event;
    bool pointer = IsPointerEvent(event.type);
    if (pointer) {
        TPoint point{copy.x, copy.y};
        ToParent(point);
        copy.x = point.x;
        copy.y = point.y;
    }
    if (mParent == nullptr) return false;

    // The older siblings below this window, hit-tested as FindChildAt does.
    TPoint point{copy.x, copy.y};
    int parentShown = -1;
    TWindow* sibling = mOwner == mParent ? mNextSibling : nullptr;
    for (; sibling != nullptr; sibling = sibling->mNextSibling) {
        if (!sibling->mRect.Contains(point) || !(sibling->mFlags & kVisible)) continue;
        if (!(sibling->mFlags & kModalRoot)) {
            if (parentShown < 0) parentShown = mParent->IsShownForHit() ? 1 : 0;
            if (parentShown == 0) continue;
        }
        sibling->FromParent(point);
        TPoint inTarget;
        TWindow* target = sibling->FindDeepestAt(point, kAnyDepth, &inTarget);
        if (pointer) {
            copy.x = inTarget.x;
            copy.y = inTarget.y;
        }
        return target->HandleEvent(copy, focusTaken);
    }
    return mParent->HandleEvent(copy, focusTaken);
}

void TWindow::SendMessage(TMessage* message) {
    if (message == nullptr) return;
    for (TWindow* window = this; window != nullptr; window = window->mParent) {
        if (window->OnMessage(message)) {
            delete message;
            return;
        }
        if (!(window->mFlags & kModalRoot)) continue;
        // The walk ends at the modal root: its default-focus window alone may still take the
        // message, else the dialog's script gets it.
        TModalWindow* modal = CastTo<TModalWindow>(window);
        TWindow* focus = modal != nullptr ? modal->GetDefaultFocus() : nullptr;
        // A script's message is offered as the script made it, not as its wrapper.
        if (focus != nullptr && focus->OnMessage(Unwrapped(message))) {
            delete message;
        } else if (TWindowManager* manager = TWindowManager::Get()) {
            manager->QueueScriptMessage(message, nullptr);
        } else {
            delete message;
        }
        return;
    }
    delete message;
}
