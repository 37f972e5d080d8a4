// TWindowManager's stack of modal windows: the screen at the bottom, each pushed modal a child of
// the one below it, only the top one taking input and running its clock.
#include <algorithm>

#include "foundation/log.h"
#include "platform/draw/renderer.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"
#include "ui/windowspider.h"

bool TWindowManager::SetScreen(TScreen* screen) {
    if (screen == nullptr) return false;
    if (mScreen.load() != nullptr) {
        LogPrintf("SetScreen refused: the root screen window is already installed");
        return false;
    }
    mScreen.store(screen);
    PushModal(screen);
    TRect viewport = TRenderer::GetInstance()->GetViewport();
    screen->SetSize(viewport.right - viewport.left, viewport.bottom - viewport.top);
    return screen->OnActivate();
}

bool TWindowManager::PushModal(TModalWindow* modal) {
    if (modal == nullptr) return false;
    TModalWindow* previous = GetTopModal();
    // Every modal on the stack is the top's ancestor or the top itself; pushed again, one would
    // become its own descendant.
    bool holdsTop = previous != nullptr && previous->IsWithin(modal);
    if (holdsTop || std::find(mModals.begin(), mModals.end(), modal) != mModals.end()) {
        LogPrintf("PushModal refused: window '%s' (id %x) is on the modal stack already",
                  modal->GetName().c_str(), modal->GetId());
        return false;
    }

    mUnderPointer = nullptr;
    if (!mTracked.empty()) {
        // Handlers may delete windows: each one left is asked about by reference.
        std::vector<TWindowRef> left(mTracked.begin(), mTracked.end());
        mTracked.clear();
        mTrackingChanged = true;
        for (const TWindowRef& ref : left) {
            if (TWindow* window = ref.Get()) window->OnMouseLeave();
        }
    }
    mModals.push_front(modal);
    if (previous != nullptr) {
        previous->AddChild(modal, false);
        previous->GetClock().Pause();
    }
    SetFocusWindow(modal);
    if (mScript) mScript->ResetWindowStack(modal);
    modal->OnActivate();
    if (modal->GetWidth() == 0) {
        if (TWindow* parent = modal->GetParent()) {
            modal->SetSize(parent->GetWidth(), parent->GetHeight());
        }
    }
    MarkDirty();
    return true;
}

void TWindowManager::PopModal() {
    // The screen stays at the bottom: without it the next event would quit the game.
    if (mModals.size() > 1) PopTop();
}

void TWindowManager::PopTop() {
    TModalWindow* modal = mModals.front();
    if (TWindow* parent = modal->GetParent()) parent->RemoveChild(modal);
    DeleteWindowLater(modal);
    mModals.pop_front();
    modal->ApplyPendingTasks();
    TModalWindow* top = GetTopModal();
    if (mScript) mScript->ResetWindowStack(top);
    if (top != nullptr) {
        SetFocusWindow(top);
        // The popped modal has left the tree: the windows still in it hear of the pop.
        TModalPoppedSpider spider;
        spider.Visit(mModals.back());
    }
    MarkDirty();
    mPopped = true;
}

bool TWindowManager::NameMatches(const TWindow* window, const str& name) {
    return window->GetName() == name || window->GetIdString() == name;
}

void TWindowManager::DoPopModal(const str& name) {
    mUnderPointer = nullptr;
    bool found = false;
    for (const TWindow* window = GetTopModal(); window != nullptr && !found;
         window = window->GetParent()) {
        found = NameMatches(window, name);
    }
    while (found && mModals.size() > 1) {
        bool last = NameMatches(mModals.front(), name);
        PopModal();
        if (last) break;
    }
    if (TModalWindow* top = GetTopModal()) top->GetClock().Start();
}

void TWindowManager::ForgetModal(TModalWindow* modal) {
    auto entry = std::find(mModals.begin(), mModals.end(), modal);
    if (modal == mScreen.load()) mScreen.store(nullptr);
    if (entry == mModals.end()) return;
    bool wasTop = entry == mModals.begin();
    mModals.erase(entry);
    mUnderPointer = nullptr;
    MarkDirty();
    if (!wasTop) return;
    TModalWindow* top = GetTopModal();
    if (mScript) mScript->ResetWindowStack(top);
    if (top != nullptr) {
        SetFocusWindow(top);
        top->GetClock().Start();
    }
}

bool TWindowManager::SetTopModalOnly(bool on) {
    mTopModalOnly = on;
    return on;
}
