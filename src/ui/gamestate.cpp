#include "ui/gamestate.h"

#include <memory>

#include "platform/platform.h"
#include "port/system/module.h"

namespace {

std::unique_ptr<TGameState> gGameState;

std::vector<TGameStateHandler*>& Handlers() {
    static std::vector<TGameStateHandler*> handlers;
    return handlers;
}

}  // namespace

TGameState* TGameState::Get() {
    if (gGameState == nullptr && TPlatform::GetInstance() != nullptr) {
        gGameState.reset(new TGameState);
    }
    return gGameState.get();
}

void TGameState::DeleteInstance() {
    gGameState.reset();
    Handlers().clear();
}

void TGameState::AddHandler(TGameStateHandler* handler) {
    if (handler != nullptr) {
        Handlers().push_back(handler);
    }
}

const std::vector<TGameStateHandler*>& TGameState::GetHandlers() {
    return Handlers();
}

void TGameState::SetState(const str& key, const str& value) {
    mStore[key] = value;
    for (TGameStateHandler* handler : Handlers()) {
        if (handler->HandleState(key.c_str(), value.c_str())) {
            break;
        }
    }
}

void TGameState::SetStateInt(const str& key, int value) {
    SetState(key, str::Format("%d", value));
}

bool TGameState::IsSuspended() const {
    for (TGameStateHandler* handler : Handlers()) {
        if (handler->QuerySuspend()) {
            return true;
        }
    }
    return false;
}

str TGameState::GetState(const str& key) const {
    auto found = mStore.find(key);
    return found != mStore.end() ? found->second : str();
}

TDllGameState::~TDllGameState() {
    if (mHandler != nullptr && mDestroy != nullptr) {
        mDestroy(mHandler);
    }
    if (mModule != nullptr) {
        FreeLibrary(mModule);
    }
}

bool TDllGameState::Load(const str& fileName) {
    mModule = LoadLibraryA(fileName.c_str());
    if (mModule == nullptr) {
        return false;
    }
    mCreate = reinterpret_cast<CreateHandler>(GetProcAddress(mModule, "CreateHandler"));
    mDestroy = reinterpret_cast<DestroyHandler>(GetProcAddress(mModule, "DestroyHandler"));
    if (mCreate == nullptr || mDestroy == nullptr) {
        return false;
    }
    mHandler = mCreate();
    return true;
}

bool TDllGameState::HandleState(const char* key, const char* value) {
    return mHandler != nullptr && mHandler->HandleState(key, value);
}

const char* TDllGameState::FilterState(const char* key, const char* value) {
    return mHandler != nullptr ? mHandler->FilterState(key, value) : value;
}

bool TDllGameState::QueryRestartMode() {
    return mHandler != nullptr && mHandler->QueryRestartMode();
}

bool TDllGameState::QueryJumpToMenu() {
    return mHandler != nullptr && mHandler->QueryJumpToMenu();
}

bool TDllGameState::QueryMuteGame() {
    return mHandler != nullptr && mHandler->QueryMuteGame();
}

bool TDllGameState::QuerySuspend() {
    return mHandler != nullptr && mHandler->QuerySuspend();
}
