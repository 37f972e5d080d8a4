#include "port/system/module.h"
#include "ui/gamestate.h"

TDllGameState::~TDllGameState() {
    if (mHandler != nullptr && mDestroy != nullptr) {
        mDestroy(mHandler);
        mHandler = nullptr;
    }
    if (mModule != nullptr) {
        FreeLibrary(mModule);
        mModule = nullptr;
        mCreate = nullptr;
        mDestroy = nullptr;
    }
}

bool TDllGameState::Load(const str& path) {
    if (path.Length() == 0) {
        return false;
    }
    mModule = LoadLibraryA(path.c_str());
    if (mModule == nullptr) {
        return false;
    }
    // A module that lacks an export stays loaded until this object goes.
    mCreate = reinterpret_cast<CreateHandler>(GetProcAddress(mModule, "CreateHandler"));
    if (mCreate == nullptr) {
        return false;
    }
    mDestroy = reinterpret_cast<DestroyHandler>(GetProcAddress(mModule, "DestroyHandler"));
    if (mDestroy == nullptr) {
        return false;
    }
    mHandler = mCreate();
    return mHandler != nullptr;
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
