// TScript: the host of one Lua state. It runs script files (compiled once, as TScriptCode
// assets), Lua text handed over by native code, and Lua functions, and it is the task that keeps
// a script's coroutine going.
//
// The coroutine is the state itself: a chunk or function run for one result that returns a
// function gets that function started with lua_resume on the main state, and the task is
// started (period 0, so it is due on every pass of its task manager). On each pass Animate
// resumes the waiting coroutine; when it ends or fails the task stops. While the coroutine waits
// in a yield, a function that native code asks to run is first offered to it through
// DeliverCommand (wrapped by the Lua function "GetClosure" into a function of no arguments);
// when it is not taken it runs on the waiting state directly.
//
// Every call made on behalf of a script is protected, with the global "_ALERT" as the error
// function, which logs "Lua error: %s". Nothing here ends the program; the state stays usable.
//
// The state: made by the constructor when none is given (it then holds "_SCRIPT" and the
// registry entry through which the state's wrappers find their script), and closed by the
// destructor in either case, unless a state owner was set, which is deleted instead. Wrappers
// handed over with AddTemporary are deleted at the next run or resume and by the destructor.
//
// The task may be added to a task manager, which then owns it. Main thread only; no locks.
#pragma once

#include <memory>
#include <vector>

#include "foundation/str.h"
#include "foundation/task/animtask.h"
#include "math/vec4.h"

struct lua_State;
class TLuaObjectWrapper;

// Something that holds a state for a script and closes it when deleted.
class TLuaStateOwner {
public:
    virtual ~TLuaStateOwner() = default;
};

class TScript : public TAnimTask {
public:
    explicit TScript(lua_State* state = nullptr);
    ~TScript() override;
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    // The script whose constructor made the state; null for any other state.
    static TScript* FromState(lua_State* L);
    // "assets/?;?;../?;../../?", the LUA_PATH of every script.
    static str GetSearchPath();

    // Runs a script file's main chunk. False, with nothing logged, for an empty name or a file
    // that does not exist; false when it does not compile or fails.
    bool RunScript(const str& fileName);
    // Calls the function below the nargs arguments on top (see above for what happens while the
    // coroutine waits and to a returned function). Leaves nresults results (nil for a command
    // the coroutine took); on failure the error value. Answers the Lua status.
    int RunFunction(int nargs, int nresults);
    // Compiles and runs Lua text (length -1: all of it); nresults results stay on the stack on
    // success. A failure leaves the stack at its height on entry.
    void DoLuaString(const str& text, int length = -1, int nresults = 0);
    // Resumes the waiting coroutine with the nargs values on top. Answers the Lua status; with
    // no coroutine waiting the values are dropped and the answer is a run-time error.
    int Resume(int nargs);
    bool IsYielded() const;

    bool Animate() override;

    // Offered a function of no arguments on top of the stack while the coroutine waits; takes
    // it off the stack. True when the coroutine took it. This one never does.
    virtual bool DeliverCommand();

    // The value on top as a number (0 when it is none), popped.
    double PopNumber() { return PopNumber(mState); }
    // The value on top as a text (empty when it is none), popped.
    str PopString() { return PopString(mState); }
    // Elements 1 to 4 of the table on top as red, green, blue and alpha (0 when missing), then
    // the table is popped. A value that is not a table gives 0, 0, 0, 0 and is popped.
    TVec4 PopColor() { return PopColor(mState); }
    // The value on top as a bool, popped: nil false, a boolean its value, a number true when it
    // is not 0. Any other value is false, with a log line naming the string or the type.
    bool PopBool() { return PopBool(mState); }
    // The same conversions on the top of any state's stack.
    static double PopNumber(lua_State* L);
    static str PopString(lua_State* L);
    static TVec4 PopColor(lua_State* L);
    static bool PopBool(lua_State* L);
    void SetGlobalString(const str& name, const str& value);
    // Takes ownership; the wrapper is deleted at the next run or resume.
    void AddTemporary(TLuaObjectWrapper* wrapper);

    // Deleted by the destructor instead of closing the state.
    void SetStateOwner(std::unique_ptr<TLuaStateOwner> owner);

    lua_State* GetState() const { return mState; }
    // Empty once this script is destroyed: holders of bindings check it before they unbind.
    std::weak_ptr<lua_State*> GetLiveState() const { return mLiveState; }

    // Opens the base, string and table libraries, in that order, and registers the host's
    // globals (the constructor does this).
    void InitState();

private:
    void DeleteTemporaries();
    // Whether a call is active on the state (the coroutine waiting in a yield counts).
    bool IsInCall() const;
    // lua_pcall with "_ALERT" as the error function, put at index 1 for the call.
    int ProtectedCall(int nargs, int nresults);
    // Calls the function below the nargs arguments on top protected, without results; an error
    // is logged. Leaves the stack as it was below the function.
    void CallLogged(int nargs);
    // Offers the function below the nargs arguments on top to the waiting coroutine. Answers
    // true when it took the function; otherwise the function, wrapped, is on top, ready to
    // run. On failure of the wrapping, the error status with its value on top.
    bool OfferToCoroutine(int nargs, int* status);
    // The function on top becomes the coroutine; one result, nil, is left in its place. Inside
    // a running call it cannot start: that is logged and the function stays.
    void StartCoroutine();

    lua_State* mState;
    std::unique_ptr<TLuaStateOwner> mStateOwner;
    std::vector<TLuaObjectWrapper*> mTemporaries;
    std::shared_ptr<lua_State*> mLiveState;
    // The stack height below the coroutine's function when it started: what it returns is
    // dropped to this height when it ends.
    int mCoroutineBase = 0;
};
