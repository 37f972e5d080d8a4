#include "ui/windowmanager.h"

#include <algorithm>

#include "gv/anim/gvtaskhost.h"
#include "platform/texture/texture.h"
#include "script/luaobjectwrapper.h"
#include "ui/message.h"
#include "ui/modalwindow.h"
#include "ui/windowscript.h"

namespace {

std::atomic<TWindowManager*> gInstance{nullptr};

// Whether the window is the ancestor or the window itself.
bool IsInside(const TWindow* window, const TWindow* ancestor) {
    for (; window != nullptr; window = window->GetParent()) {
        if (window == ancestor) return true;
    }
    return false;
}

// The visual-object engine's way to the windows: a scene's sprite timers run in the task manager
// of its window's modal.
class TWindowTaskHook : public GVWindowHook {
public:
    TModalWindow* GetModalParent(TWindow* window) override {
        return window != nullptr ? window->GetModalParent() : nullptr;
    }
    void AddTask(TModalWindow* host, TTask* task) override { host->AddTask(task); }
};

TWindowTaskHook gTaskHook;

}  // namespace

TWindowManager::TWindowManager() {
    gInstance.store(this);
    SetWindowHook(&gTaskHook);
}

TWindowManager::~TWindowManager() {
    mBeingDestroyed = true;
    mHandlers.clear();
    mTracked.clear();
    // The windows still reach this manager while they go.
    while (!mModals.empty())
        PopTop();
    DeleteQueued();
    std::vector<TWindow*> overlays;
    overlays.swap(mOverlayWindows);
    for (TWindow* window : overlays)
        delete window;
    mPosted.clear();
    mOverlay.reset();
    if (GetWindowHook() == &gTaskHook) SetWindowHook(nullptr);
    TWindowManager* self = this;
    gInstance.compare_exchange_strong(self, nullptr);
}

TWindowManager* TWindowManager::Get() {
    return gInstance.load();
}

void TWindowManager::SetScript(TWindowScript* script) {
    mScript.reset(script);
}

void TWindowManager::SetOverlay(std::shared_ptr<TTexture> texture) {
    mOverlay = std::move(texture);
}

void TWindowManager::AddOverlayWindow(TWindow* window) {
    if (window == nullptr || std::find(mOverlayWindows.begin(), mOverlayWindows.end(), window) !=
                                 mOverlayWindows.end()) {
        return;
    }
    mOverlayWindows.push_back(window);
}

void TWindowManager::SetFocusWindow(TWindow* window) {
    TWindow* previous = mFocus;
    mFocus = window;
    if (window != nullptr) window->OnSetFocus(previous);
}

void TWindowManager::TrackMouse(TWindow* window) {
    if (window == nullptr || IsTracked(window)) return;
    mTracked.insert(mTracked.begin(), window);
}

void TWindowManager::UntrackMouse(TWindow* window) {
    if (std::erase(mTracked, window) != 0) mTrackingChanged = true;
}

bool TWindowManager::IsTracked(const TWindow* window) const {
    return std::find(mTracked.begin(), mTracked.end(), window) != mTracked.end();
}

void TWindowManager::PostMessage(TMessage* message) {
    if (message != nullptr) mPosted.emplace_back(message);
}

TMessage* TWindowManager::TakePostedMessage() {
    if (mPosted.empty()) return nullptr;
    TMessage* message = mPosted.front().release();
    mPosted.pop_front();
    return message;
}

void TWindowManager::QueueScriptMessage(TMessage* message, TLuaFunction* command) {
    delete message;
    delete command;
}

void TWindowManager::DeleteWindowLater(TWindow* window) {
    if (window == nullptr) return;
    mUnderPointer = nullptr;
    // Queued twice, the window would be deleted twice.
    if (!IsDeleteQueued(window)) mToDelete.push_back(window);
    for (const std::unique_ptr<TMessage>& message : mPosted) {
        if (IsInside(message->GetTarget(), window)) message->SetTarget(nullptr);
    }
    UntrackMouse(window);
}

void TWindowManager::DeleteQueued() {
    if (mToDelete.empty()) return;
    // One at a time: a window that goes with its parent leaves the queue (ForgetWindow) before
    // its turn comes.
    while (!mToDelete.empty()) {
        TWindow* window = mToDelete.front();
        mToDelete.pop_front();
        delete window;
    }
    MarkDirty();
    mUnderPointer = nullptr;
}

bool TWindowManager::IsDeleteQueued(const TWindow* window) const {
    return std::find(mToDelete.begin(), mToDelete.end(), window) != mToDelete.end();
}

void TWindowManager::ForgetWindow(TWindow* window) {
    mUnderPointer = nullptr;
    if (mFocus == window) mFocus = nullptr;
    UntrackMouse(window);
    for (TWindow* modal = GetTopModal(); modal != nullptr; modal = modal->GetParent()) {
        auto* asModal = TWindow::CastTo<TModalWindow>(modal);
        if (asModal == nullptr) break;
        if (asModal->GetDefaultFocus() == window) asModal->SetDefaultFocus(nullptr);
    }
    // A window deleted directly, not through DeleteWindowLater, must not stay queued or be
    // the target of a posted message.
    std::erase(mToDelete, window);
    for (const std::unique_ptr<TMessage>& message : mPosted) {
        if (message->GetTarget() == window) message->SetTarget(nullptr);
    }
    std::erase(mOverlayWindows, window);
}

void TWindowManager::AddMessageHandler(TWindowMessageHandler* handler) {
    if (handler != nullptr) mHandlers.emplace_back(handler);
}

bool TWindowManager::CallHoverHandler(TWindow* window, const TPoint& point) {
    return mHoverHandler != nullptr && mHoverHandler->HandleHover(window, point);
}
