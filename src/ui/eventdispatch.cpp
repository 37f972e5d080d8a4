// TWindowManager's event dispatch: each platform event to the window it is meant for, and the
// posted messages to theirs.
#include <vector>

#include "platform/platform.h"
#include "platform/platformevent.h"
#include "platform/settingkeys.h"
#include "ui/luamessage.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"

namespace {

// 0 normal, 1 relative (moves come as deltas); normal without an application object.
int MouseMode() {
    TPlatform* platform = TPlatform::GetInstance();
    return platform != nullptr ? platform->GetMouseMode() : 0;
}

// The event with the point converted from the screen into the window's coordinates.
TPlatformEvent InWindow(const TPlatformEvent& event, const TWindow* window) {
    TPlatformEvent copy = event;
    TPoint point{event.x, event.y};
    window->ScreenToClient(point);
    copy.x = point.x;
    copy.y = point.y;
    return copy;
}

TPlatformEvent At(const TPlatformEvent& event, const TPoint& point) {
    TPlatformEvent copy = event;
    copy.x = point.x;
    copy.y = point.y;
    return copy;
}

}  // namespace

void TWindowManager::HandleEvent(const TPlatformEvent& event) {
    if (event.type == kEventNothing) return;
    if (event.type == kEventDisplayRecreated) mOverlay.reset();
    DeleteQueued();
    TModalWindow* top = GetTopModal();
    if (top == nullptr) return;

    switch (event.type) {
        case kEventIdle:
            top->UpdateTasks(0);
            ProcessPostedMessages();
            Update();
            ProcessPostedMessages();
            break;
        case kEventPaint:
            MarkDirty();
            ProcessPostedMessages();
            Update();
            ProcessPostedMessages();
            break;
        case kEventLeftDown:
        case kEventButton:
        case kEventLeftUp:
        case kEventMouseMove:
        case kEventMouseHover:
            RoutePointer(event);
            ProcessPostedMessages();
            break;
        case kEventMouseLeft:
            CaptureLost();
            ProcessPostedMessages();
            break;
        case kEventKeyDown:
        case kEventKeyUp:
        case kEventChar:
        case kEventUnicodeChar:
            (mFocus != nullptr ? mFocus : top)->HandleEvent(event, false);
            ProcessPostedMessages();
            break;
        case kEventActivation:
            break;
        default:
            // No window handler takes these types; the modal hears of them all the same.
            ProcessPostedMessages();
            if (TModalWindow* now = GetTopModal()) now->HandleEvent(event, false);
            break;
    }
}

void TWindowManager::RoutePointer(const TPlatformEvent& event) {
    if (!mTracked.empty()) {
        RouteTracked(event);
        return;
    }
    if (event.type == kEventMouseMove && MouseMode() == 1) return;
    bool overlayMouse = IsEnabled(settingkey::kOverlayMouse);
    if (overlayMouse && OfferToOverlays(event)) return;

    // An overlay window's handler may have taken the whole stack down.
    TModalWindow* top = GetTopModal();
    if (top == nullptr) return;
    TPoint point{event.x, event.y};
    top->ScreenToClient(point);
    TPoint local;
    TWindow* target = top->FindDeepestAt(point, TWindow::kAnyDepth, &local);
    mUnderPointer = target;
    if (mHighlight) MarkDirty();
    bool handled = target->HandleEvent(At(event, local), false);
    // With "overlaymouse" off the modal root has posted it already.
    if (!handled && overlayMouse && event.type == kEventLeftUp) {
        PostMessage(new TMessage(TMessage::kPressAnyKey, "mouse:up"));
    }
}

bool TWindowManager::OfferToOverlays(const TPlatformEvent& event) {
    // By index: a handler may take an overlay window away.
    for (size_t i = 0; i < mOverlayWindows.size(); ++i) {
        TWindow* overlay = mOverlayWindows[i];
        TPoint point{event.x, event.y};
        overlay->ScreenToClient(point);
        TPoint local;
        TWindow* target = overlay->FindDeepestAt(point, TWindow::kAnyDepth, &local);
        // Set before the call, so that a window deleted meanwhile (which clears it) is not kept.
        TWindow* before = mUnderPointer;
        mUnderPointer = target;
        if (target->HandleEvent(At(event, local), false)) {
            if (mHighlight) MarkDirty();
            return true;
        }
        if (mUnderPointer == target) mUnderPointer = before;
    }
    return false;
}

void TWindowManager::RouteTracked(const TPlatformEvent& event) {
    mTrackingChanged = false;
    TModalWindow* top = GetTopModal();
    int mode = MouseMode();
    bool keepDelta = mode == 1 && event.type == kEventMouseMove;
    // Handlers may untrack windows, their own or others: a window that left the list meanwhile is
    // passed over, and the walk goes on with the next one.
    const std::vector<TWindow*> visit = mTracked;
    for (TWindow* window : visit) {
        if (mTrackingChanged && !IsTracked(window)) continue;
        if (mode == 0 && !window->GetScreenRect().Contains(TPoint{event.x, event.y})) {
            window->OnMouseLeave();
            if (GetTopModal() != top) return;
            if (!IsTracked(window)) continue;
        }
        window->HandleEvent(keepDelta ? event : InWindow(event, window), false);
        if (GetTopModal() != top) return;
    }
}

void TWindowManager::CaptureLost() {
    TModalWindow* top = GetTopModal();
    const std::vector<TWindow*> visit = mTracked;
    for (TWindow* window : visit) {
        // Handlers may untrack (or delete) the others.
        if (!IsTracked(window)) continue;
        window->OnMouseLeave();
        if (GetTopModal() != top) return;
    }
}

void TWindowManager::ProcessPostedMessages() {
    while (TMessage* message = TakePostedMessage()) {
        if (message->GetType() == TMessage::kQuitNow) {
            delete message;
            TPlatform::Quit(0);
            continue;
        }
        if (TWindow* target = message->GetTarget()) {
            target->SendMessage(message);
            continue;
        }
        bool consumed = false;
        // The handlers see the message a script made, not its wrapper.
        TMessage* offered = Unwrapped(message);
        // By index: a handler may install another one.
        for (size_t i = 0; i < mHandlers.size() && !consumed; ++i) {
            consumed = mHandlers[i]->HandleMessage(offered);
        }
        if (consumed) {
            delete message;
            continue;
        }
        TWindow* receiver = mFocus != nullptr ? mFocus : GetTopModal();
        if (receiver != nullptr) {
            receiver->SendMessage(message);
        } else {
            delete message;
        }
    }
}
