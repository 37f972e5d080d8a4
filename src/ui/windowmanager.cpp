#include "ui/windowmanager.h"

#include <algorithm>

#include "gv/anim/gvtaskhost.h"
#include "platform/platform.h"
#include "platform/texture/texture.h"
#include "script/luabinding.h"
#include "ui/gamestate.h"
#include "ui/luamessage.h"
#include "ui/modalwindow.h"
#include "ui/windowscript.h"

namespace {

std::atomic<TWindowManager*> gInstance{nullptr};

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

// "SetTopModalOnly": one boolean, no result.
void ScriptSetTopModalOnly(bool on) {
    if (TWindowManager* manager = TWindowManager::Get()) manager->SetTopModalOnly(on);
}

// Whether the message is a posted script message held in the state.
bool IsHeldIn(const TMessage* message, lua_State* state) {
    return message->IsKindOf(TLuaMessageWrapper::TypeId()) &&
           static_cast<const TLuaMessageWrapper*>(message)->GetState() == state;
}

}  // namespace

// The window script's place in the application's task list. The list deletes its tasks (those
// that finish, and all of them when the application goes, before this manager), so it holds this
// task instead of the script, which belongs to the manager.
class TWindowManager::TScriptTask : public TTask {
public:
    explicit TScriptTask(TWindowManager* manager) : mManager(manager) {}
    ~TScriptTask() override {
        if (mManager != nullptr) mManager->mScriptTask = nullptr;
    }
    TScriptTask(const TScriptTask&) = delete;
    TScriptTask& operator=(const TScriptTask&) = delete;

    bool IsReady(uint32_t mode) override {
        TWindowScript* script = Script();
        return script != nullptr && script->IsReady(mode);
    }
    bool Execute() override {
        TWindowScript* script = Script();
        return script == nullptr || script->Execute();
    }
    // The manager no longer knows the task.
    void Detach() { mManager = nullptr; }

private:
    TWindowScript* Script() const { return mManager != nullptr ? mManager->GetScript() : nullptr; }

    TWindowManager* mManager;
};

TWindowManager::TWindowManager() {
    gInstance.store(this);
    SetWindowHook(&gTaskHook);
}

TWindowManager::~TWindowManager() {
    mBeingDestroyed = true;
    DropScriptTask();
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
    if (script == mScript.get()) return;
    DropScriptTask();
    if (mScript) {
        // Their references live in the state that goes with the old script.
        lua_State* old = mScript->GetState();
        std::erase_if(mPosted, [old](const std::unique_ptr<TMessage>& message) {
            return IsHeldIn(message.get(), old);
        });
    }
    mScript.reset(script);
    if (script == nullptr) return;
    script->SetUtf8(mScriptUtf8);
    // "XSellWindow" joins the window types once the cross-sell window exists.
    if (TModalWindow* top = GetTopModal()) script->PushCurrentWindow(top);
    LuaBindFunction(script->GetState(), "SetTopModalOnly", &ScriptSetTopModalOnly);
    TGameState::ScriptAttached(script);
    if (TPlatform* application = TPlatform::GetInstance()) {
        mScriptTask = new TScriptTask(this);
        application->AddTask(mScriptTask);
    }
}

void TWindowManager::DropScriptTask() {
    if (mScriptTask == nullptr) return;
    TScriptTask* task = mScriptTask;
    mScriptTask = nullptr;
    task->Detach();
    TPlatform* application = TPlatform::GetInstance();
    // A task the list cannot give back is deleted by the list; detached, it runs nothing.
    if (application != nullptr && application->RemoveTask(task)) delete task;
}

void TWindowManager::RegisterWindowType(const str& name, TClassId creator) {
    if (mScript) mScript->DefineWindowType(name, creator);
}

bool TWindowManager::RunScriptFor(TWindow* window, const str& fileName) {
    if (!mScript) return false;
    mScript->PushCurrentWindow(window);
    bool ran = mScript->RunScript(fileName);
    mScript->PopCurrentWindow();
    return ran;
}

void TWindowManager::DoLuaStringFor(TWindow* window, const str& code) {
    if (!mScript) return;
    mScript->PushCurrentWindow(window);
    mScript->DoLuaString(code);
    mScript->PopCurrentWindow();
}

bool TWindowManager::SetScriptUtf8(bool on) {
    bool previous = mScriptUtf8;
    mScriptUtf8 = on;
    if (mScript) mScript->SetUtf8(on);
    return previous;
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
    if (mScript)
        mScript->QueueMessage(message, command);
    else
        delete message;
}

void TWindowManager::DeleteWindowLater(TWindow* window) {
    if (window == nullptr) return;
    mUnderPointer = nullptr;
    // Queued twice, the window would be deleted twice.
    if (!IsDeleteQueued(window)) mToDelete.push_back(window);
    for (const std::unique_ptr<TMessage>& message : mPosted) {
        TWindow* target = message->GetTarget();
        if (target != nullptr && target->IsWithin(window)) message->SetTarget(nullptr);
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
    if (mScript) mScript->ForgetWindow(window);
}

void TWindowManager::AddMessageHandler(TWindowMessageHandler* handler) {
    if (handler != nullptr) mHandlers.emplace_back(handler);
}

bool TWindowManager::CallHoverHandler(TWindow* window, const TPoint& point) {
    return mHoverHandler != nullptr && mHoverHandler->HandleHover(window, point);
}
