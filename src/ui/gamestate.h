// The game state: a process-wide table of named text values that the game, its scripts and the
// host share (the level, the score, "pause", "mute", "cmdline", ...), watched by handler objects:
// module plug-ins (TDllGameState) and the portal's handler. Only "mute" means something here:
// setting it to a non-zero number silences the sound manager, setting it back to 0 restores the
// master volume it had. Without a sound manager "mute" is only stored and offered.
//
// Ownership: TGameState::Get makes the one game state on first use while the application object
// exists; the application object's teardown deletes it (DeleteInstance), which also empties the
// handler list. The handler list does not own the handlers: the window system keeps the module
// plug-ins it loaded and deletes them right after the game state, the portal keeps its own. A
// handler may be added before the application object exists.
//
// Scripts: the game state binds "GetState" (GetStateValue), "_SetState" (SetState on the game
// state of the moment), "QueryMuteGame", "QueryRestartMode" and "QueryJumpToMenu" as globals of
// the window script; the window manager's SetScript binds them when the script comes after the
// game state. Deleting the game state sets those globals to nil while the script lives; a copy a
// script kept then raises a Lua error.
//
// Main thread only.
//
// ---- Writing a module plug-in
//
// A module is a shared object whose file name contains ".bvmod", placed at the top level of an
// asset folder (not inside an archive). Start-up loads each one (dlopen, RTLD_NOW | RTLD_LOCAL) and
// looks up two functions with C linkage:
//
//     extern "C" TGameStateHandler* CreateHandler();          // null: the module is refused
//     extern "C" void DestroyHandler(TGameStateHandler* h);   // destroys what CreateHandler made
//
// The handler is a C++ object derived from TGameStateHandler below, so the module must be built
// from this header by the same compiler with the same flags as the program (tests/ui has an
// example, a CMake MODULE library). Its virtual functions keep this order, which is the module's
// binary interface: the destructor, HandleState, FilterState, QueryRestartMode, QueryJumpToMenu,
// QueryMuteGame, QuerySuspend. Calls come from the main thread:
//   - HandleState is told of every change, after the value is stored; true takes the change, and
//     the handlers after this one are not told. A handler that takes "mute" leaves the volume to
//     itself.
//   - FilterState sees every read of a value (the previous handler's answer) and answers the value
//     to read, which must live until the next call into the handler.
//   - The queries are asked in order until one handler answers true.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "foundation/str.h"
#include "port/win32types.h"

class TLuaBindings;
class TScript;

class TGameStateHandler {
public:
    virtual ~TGameStateHandler() = default;
    // Told of a change; true means handled, which ends the offer.
    virtual bool HandleState(const char* key, const char* value) = 0;
    // May replace a value being read.
    virtual const char* FilterState(const char* /*key*/, const char* value) { return value; }
    // Whether the game should start again from its beginning.
    virtual bool QueryRestartMode() { return false; }
    // Whether the game should go back to its menu.
    virtual bool QueryJumpToMenu() { return false; }
    // Whether the game should stay silent.
    virtual bool QueryMuteGame() { return false; }
    // Whether the game should hold (the event pump then only passes window messages on).
    virtual bool QuerySuspend() { return false; }
};

class TGameState {
public:
    // The game state, made on first use; null while there is no application object.
    static TGameState* Get();
    static void DeleteInstance();
    // The window manager's SetScript: a game state that exists binds its functions in the script.
    static void ScriptAttached(TScript* script);

    ~TGameState();
    TGameState(const TGameState&) = delete;
    TGameState& operator=(const TGameState&) = delete;

    // Appends a handler (not owned).
    static void AddHandler(TGameStateHandler* handler);
    // The handlers, in order of registration.
    static const std::vector<TGameStateHandler*>& GetHandlers();

    // Stores the value and offers the change to each handler in order until one takes it. A key
    // that starts with "++" counts the rest of the key up by one instead (the value is not used;
    // a value that is no number counts from 0; the count stops at the largest int). "mute" from 0
    // to a number that is not 0, when no handler took it, saves the master volume and sets it to
    // 0; back to 0 restores it.
    void SetState(const str& key, const str& value);
    // The same with the number written "%d".
    void SetStateInt(const str& key, int value);
    // The value as the game reads it: the stored one (an absent key is stored as ""), passed
    // through each handler's FilterState in order.
    str GetStateValue(const str& key);
    // The stored value, "" when absent; nothing is stored or filtered.
    str GetState(const str& key) const;
    // Whether a value is stored under the key (a read stores "" under an absent key).
    bool HasState(const str& key) const { return mStore.count(key) != 0; }

    // Whether any handler asks the game to hold.
    bool IsSuspended() const;
    // Whether any handler asks for a restart, or the menu.
    bool QueryRestartMode();
    bool QueryJumpToMenu();
    // Whether any handler asks for silence, else whether "mute" reads as a number that is not 0.
    bool QueryMuteGame();

private:
    TGameState();
    void BindScript(TScript* script);
    void ApplyMute(bool wasMuted, bool muted);

    std::map<str, str> mStore;
    // The master volume before "mute" silenced it, and whether it did: a mute that found no sound
    // manager saved nothing, and its unmute must not restore the 0.
    float mSavedVolume = 0.0f;
    bool mVolumeSaved = false;
    std::unique_ptr<TLuaBindings> mBindings;
};

class TDllGameState : public TGameStateHandler {
public:
    TDllGameState() = default;
    // "DestroyHandler" with the handler, then the module unloaded.
    ~TDllGameState() override;
    TDllGameState(const TDllGameState&) = delete;
    TDllGameState& operator=(const TDllGameState&) = delete;

    // Opens the module at the path on disk and makes its handler; false when the module cannot be
    // loaded, lacks either export or makes no handler (the caller then deletes this object, which
    // unloads the module).
    bool Load(const str& path);

    // Forwarded to the module's handler; without one, false, the value given, and false.
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
