#include "ui/modalwindow.h"

#include "foundation/task/taskmanager.h"
#include "ui/message.h"
#include "ui/windowmanager.h"

TModalWindow::TModalWindow() : mTasks(std::make_unique<TTaskManager>()) {
    SetRawFlags(GetFlags() | kModalRoot | kFocusable);
}

TModalWindow::~TModalWindow() {
    if (TWindowManager* manager = TWindowManager::Get()) {
        // Off the stack while the modal is still whole: the manager may hand the focus on.
        manager->ForgetModal(this);
        if (!manager->IsBeingDestroyed()) {
            manager->PostMessage(new TMessage(TMessage::kModalClosed, GetIdString()));
        }
    }
    // The tasks (window timers among them) go while the windows they serve still exist.
    mTasks.reset();
}

bool TModalWindow::OnActivate() {
    mClock.Start();
    return true;
}

void TModalWindow::PostInit(TWindowStyle& style) {
    FitToChildren();
    TWindow::PostInit(style);
}

bool TModalWindow::OnMessage(TMessage* message) {
    if (message->GetType() != TMessage::kCloseWindow) return false;
    TWindowManager* manager = TWindowManager::Get();
    if (message->GetName().Length() != 0 && manager != nullptr)
        manager->DoPopModal(message->GetName());
    return true;
}

void TModalWindow::OnSetFocus(TWindow* /*previous*/) {
    TWindowManager* manager = TWindowManager::Get();
    TWindow* focus = mDefaultFocus.Get();
    if (focus == nullptr || manager == nullptr || mForwardingFocus) return;
    mForwardingFocus = true;
    manager->SetFocusWindow(focus);
    mForwardingFocus = false;
}

void TModalWindow::AddTask(TTask* task) {
    if (mTasks != nullptr && task != nullptr) mTasks->AddTask(task);
}

void TModalWindow::UpdateTasks(uint32_t mode) {
    if (mTasks != nullptr) mTasks->Update(mode);
}

void TModalWindow::SetDefaultFocus(TWindow* window) {
    mDefaultFocus.Reset(window);
    TWindowManager* manager = TWindowManager::Get();
    if (manager != nullptr && manager->GetFocusWindow() == this) manager->SetFocusWindow(window);
}

void TModalWindow::SetCovered(TWindow* window, bool covers) {
    // Looked up first: most reports (every window, before every frame) change nothing.
    auto entry = mCoverSet.find(window);
    bool changed = covers != (entry != mCoverSet.end());
    if (changed && covers) {
        mCoverSet.insert(window);
    } else if (changed) {
        mCoverSet.erase(entry);
    }
    uint32_t flags = GetFlags();
    uint32_t wanted = mCoverSet.empty() ? flags & ~uint32_t{kOpaque} : flags | kOpaque;
    // When neither the set nor the flag changes, the modal's own report to its modal is left
    // out: the walk before every frame has each window report once, this modal among them.
    if (!changed && wanted == flags) return;
    SetFlags(wanted);
}
