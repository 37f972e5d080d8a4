// TWindowScript: the window system's script, the one TScript of the running game, in whose state
// every native binding is registered. Every dialog of the game runs in it as one coroutine that
// waits for the player in HandleGetMessage.
//
// What it gives the Lua state, in the order it is made:
//   - 39 global functions that reach windows by name in the top modal, the modal chain or the
//     current window, create and post messages, wait for them, and play movies
//     (windowfunctions.cpp, windowfactory.cpp, scriptmessages.cpp, scriptmovie.cpp);
//   - the window types "Window" (and each widget's as it exists), defined with DefineWindowType:
//     a type name called on a table marks it and answers the function that creates the window;
//   - the message metatable (luamessage.h);
//   - the window library ("gScreenInit", windowlibrary.h).
//
// The window factory (GenericCreate) turns a Lua table into a window of its "typename" under the
// current window: the last entry of the current-window stack, which the window manager resets to
// the top modal whenever the modal stack changes. The stack does not own its windows; a window
// that goes leaves a null entry behind (ForgetWindow), so the stack keeps its depth.
//
// Messages that no window took reach the script through QueueMessage: into the Lua queues while
// the coroutine runs or is over, straight into HandleGetMessage while it waits there, and into a
// pending list (oldest first, handed over by the next HandleGetMessage) while it sits in another
// yield. The wait state says which: kWaitingForMessage only while the coroutine waits in
// HandleGetMessage, kResumeFailed after a resume failed, kRunning otherwise.
//
// Ownership: the window manager owns the script (TWindowManager::SetScript). The script owns its
// movie player, the messages in its pending list, and the bindings, which it undoes when it goes.
// Lua owns every message it holds: the destructor runs a full collection, and closing the state
// deletes the rest. The creation listener is not owned.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "foundation/str.h"
#include "script/luabinding.h"
#include "script/script.h"
#include "ui/classid.h"

class TLuaFunction;
class TLuaTable;
class TMessage;
class TMoviePlayer;
class TWindow;
class TWindowStyle;

// Told of every window the factory attached, with the style it was made from.
class TWindowCreationListener {
public:
    virtual ~TWindowCreationListener() = default;
    virtual void OnWindowCreated(TWindow* window, TWindowStyle& style) = 0;
};

class TWindowScript : public TScript {
public:
    enum WaitState : int32_t {
        kResumeFailed = 0,
        kRunning = 1,
        kWaitingForMessage = 3,
    };

    // A null state: the script makes its own.
    explicit TWindowScript(lua_State* state = nullptr);
    // Stops the movie, deletes the pending messages and runs a full collection (the messages Lua
    // no longer refers to go), then undoes the bindings; closing the state deletes the rest.
    ~TWindowScript() override;

    // The timer's resume (TScript::Animate): the coroutine no longer waits for a message.
    bool Animate() override;
    // Resumes the waiting coroutine with nil and the function on top (message and command): the
    // script's ResumeWithValue. True when the resume reported no error.
    bool DeliverCommand() override;

    // ---- The window factory (windowfactory.cpp)

    // Runs the Lua text that makes the type name a function of a table, and keeps the creator
    // under the name (replacing an earlier one).
    void DefineWindowType(const str& name, TClassId creator);
    // The creator kept under the name; null for an unknown name.
    TClassId GetWindowType(const str& name) const;
    // Attaches the window made from the table to the current window (activated), initialises it
    // from the table's style, makes it the current window, sets "gDialogWidth" and
    // "gDialogHeight" to its size and tells the creation listener. False, with nothing changed,
    // when there is no current window or the current window refuses it (the caller still owns
    // the window then).
    bool AttachNewWindow(TWindow* window, TLuaTable& table);
    // Not owned; null removes it.
    void SetCreationListener(TWindowCreationListener* listener) { mCreationListener = listener; }

    // ---- The current-window stack (windowfactory.cpp)

    void PushCurrentWindow(TWindow* window);
    // Removes the last entry unless it is the only one.
    void PopCurrentWindow();
    // The stack becomes the window alone (a null entry for none).
    void ResetWindowStack(TWindow* window);
    // The last entry; null when there is none, or when it is a window that went.
    TWindow* GetCurrentWindow() const;
    const std::vector<TWindow*>& GetWindowStack() const { return mWindowStack; }
    // The window is going: its entries become null.
    void ForgetWindow(TWindow* window);

    // ---- Messages (scriptmessages.cpp)

    // Hands a message that no window took, a button's Lua command, or both, to the script (see
    // above; either may be null). Takes the message over; the command stays its caller's. True
    // when the script got them now: queued in Lua or resumed with them.
    bool QueueMessage(TMessage* message, TLuaFunction* command);
    int32_t GetWaitState() const { return mWaitState; }
    // Messages that arrived while the coroutine sat in another yield, oldest first.
    size_t GetPendingCount() const { return mPending.size(); }

    // ---- Movies (scriptmovie.cpp)

    // A new player for the file from the movie player factory, started; false (no movie) for an
    // empty name, without a factory, or when it does not start.
    bool StartMovie(str file, bool translate, bool allowInput);
    bool IsMoviePlaying();
    // Closes and deletes the movie, when there is one.
    void StopMovie();
    // The main window was asked to close: a playing movie stops and the waiting coroutine goes
    // on (without values). Nothing without a movie.
    void EndMovie();

    // ---- Texts

    // The script's texts are UTF-8; answers the previous value.
    bool SetUtf8(bool on);
    bool IsUtf8() const { return mUtf8; }

private:
    // Resumes the waiting coroutine with the nargs values on top, keeping the wait state.
    int ResumeWaiting(int nargs);
    // The value on top wrapped in the script's own state (LuaMoveToHost).
    TLuaTable* HoldTable(lua_State* L, int index);
    // Pushes the message's Lua value on the script's state: the script's own message for a
    // wrapper (which is deleted), else the message itself, which Lua then owns.
    void PushMessageValue(TMessage* message);
    void DeletePending();

    // ---- The Lua functions, in the order they are registered.
    void PostCreate(TLuaTable* table, str typeName);
    str GetLabel(str name);
    void RegisterHotkey(str key, str buttonName);
    void SetLabel(str name, str text);
    void SetBitmap(str name, str image, double scale);
    void SetPosition(str name, int x, int y);
    int SetCommand(lua_State* L);
    int StripKeyFromLabel(lua_State* L);
    void SetWindowName(str name);
    void FillRect(TLuaTable* rect, TLuaTable* colour);
    void DoSelectLayer(int layer);
    bool EnableWindow(str name, bool enable);
    bool GetButtonToggleState(str name);
    void SetButtonToggleState(str name, bool state);
    void PopWindow();
    void RealSetFocus(str name);
    void UpdateWindow();
    str PushModal(str name);
    void ClearModalChildren();
    int GetWindowDepth();
    void DoPopModal(str name);
    int HandleGetMessage(lua_State* L);
    int GenericCreate(lua_State* L);
    TMessage* CreateNamedMessage(int type, str name);
    TMessage* CreateCloseMessage();
    int PostMessage(lua_State* L);
    int PostMessageToParent(lua_State* L);
    bool ImageLoaded(str name);
    void DestroyWindow(str name);
    void DoFitToChildren();
    // Both post functions: the message at index 1 wrapped and posted, addressed to the target.
    void PostWrapped(lua_State* L, bool toParent);
    void RegisterFunctions();

    std::vector<TWindow*> mWindowStack;
    std::map<str, TClassId> mWindowTypes;
    int32_t mWaitState = kRunning;
    TWindowCreationListener* mCreationListener = nullptr;
    bool mUtf8 = false;
    std::unique_ptr<TMoviePlayer> mMovie;
    std::deque<TMessage*> mPending;
    TLuaBindings mBindings{this};
};

// The result conversion of the bindings for a new message: pushed as a Lua message, which Lua
// then owns (nil for none).
namespace luabinding {
template <>
struct TResult<TMessage*> {
    static void Push(lua_State* L, TMessage* message);
};
}  // namespace luabinding
