// The game state: a process-wide table of named text values that the game, its scripts and the
// host share, watched by handler objects (module plug-ins, the portal handler). So far: the
// store, SetState offering each change to the handlers in order until one takes it, and
// AddHandler. TDllGameState is a handler served by a module plug-in (a shared library that
// exports "CreateHandler" and "DestroyHandler" with C linkage).
//
// TGameState::Get makes the one game state on first use while the application object exists;
// the application object's teardown deletes it (DeleteInstance), which also empties the handler
// list. The handler list does not own the handlers. Main thread only.
#pragma once

#include <map>
#include <vector>

#include "foundation/str.h"
#include "port/win32types.h"

class TGameStateHandler {
public:
    virtual ~TGameStateHandler() = default;
    // Told of a change; true means handled, which ends the offer.
    virtual bool HandleState(const char* key, const char* value) = 0;
    // May replace a value being read.
    virtual const char* FilterState(const char* /*key*/, const char* value) { return value; }
    virtual bool QueryRestartMode() { return false; }
    virtual bool QueryJumpToMenu() { return false; }
    virtual bool QueryMuteGame() { return false; }
    virtual bool QuerySuspend() { return false; }
};

class TGameState {
public:
    // The game state, made on first use; null while there is no application object.
    static TGameState* Get();
    static void DeleteInstance();

    // Appends a handler (not owned).
    static void AddHandler(TGameStateHandler* handler);
    // The handlers, in order of registration.
    static const std::vector<TGameStateHandler*>& GetHandlers();

    // Stores the value and offers the change to each handler in order until one takes it.
    void SetState(const str& key, const str& value);
    // The same with the number written "%d".
    void SetStateInt(const str& key, int value);
    // Whether any handler asks the game to hold (the event pump then only passes window messages
    // on).
    bool IsSuspended() const;
    // The stored value, "" when absent.
    str GetState(const str& key) const;

private:
    TGameState() = default;
    std::map<str, str> mStore;
};

class TDllGameState : public TGameStateHandler {
public:
    TDllGameState() = default;
    ~TDllGameState() override;
    TDllGameState(const TDllGameState&) = delete;
    TDllGameState& operator=(const TDllGameState&) = delete;

    // Opens the module and makes its handler; false when the module or either export is missing
    // (the caller then deletes this object).
    bool Load(const str& fileName);

    bool HandleState(const char* key, const char* value) override;
    const char* FilterState(const char* key, const char* value) override;
    bool QueryRestartMode() override;
    bool QueryJumpToMenu() override;
    bool QueryMuteGame() override;
    bool QuerySuspend() override;

private:
    using CreateHandler = TGameStateHandler* (*)();
    using DestroyHandler = void (*)(TGameStateHandler*);

    HMODULE mModule = nullptr;
    CreateHandler mCreate = nullptr;
    DestroyHandler mDestroy = nullptr;
    TGameStateHandler* mHandler = nullptr;
};
