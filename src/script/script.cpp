#include "script/script.h"

#include "foundation/file/file.h"
#include "foundation/log.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/lualib.h"
#include "script/lua/lua.h"
#include "script/luaobjectwrapper.h"
#include "script/scriptcode.h"
#include "script/scriptglobals.h"

namespace {

const char kSearchPath[] = "assets/?;?;../?;../../?";

// The registry key under which a state keeps the script that made it. Scripts cannot reach the
// registry, so they cannot make wrappers hand themselves to anything else.
const char kOwnerKey = 0;

void PushOwnerKey(lua_State* L) {
    lua_pushlightuserdata(L, const_cast<char*>(&kOwnerKey));
}

// The host's own globals are read and written raw: a metatable a script gave the globals runs
// no script code from here.
void PushGlobal(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
}

void SetGlobal(lua_State* L, const char* name) {
    lua_pushstring(L, name);
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
}

// Drops values down to the height; never fills up to it. A resume replaces the frame the host
// sees, so a height noted before one may be above the new top.
void ShrinkTo(lua_State* L, int height) {
    if (lua_gettop(L) > height) lua_settop(L, height);
}

}  // namespace

TScript::TScript(lua_State* state) : mState(state) {
    Stop();
    if (mState == nullptr) {
        mState = lua_open();
        lua_pushlightuserdata(mState, this);
        SetGlobal(mState, "_SCRIPT");
        PushOwnerKey(mState);
        lua_pushlightuserdata(mState, this);
        lua_rawset(mState, LUA_REGISTRYINDEX);
    }
    mLiveState = std::make_shared<lua_State*>(mState);
    InitState();
}

TScript::~TScript() {
    mLiveState.reset();
    DeleteTemporaries();
    if (mStateOwner) {
        // The state may live on with its owner: it must not lead to this script any more.
        if (FromState(mState) == this) {
            PushOwnerKey(mState);
            lua_pushnil(mState);
            lua_rawset(mState, LUA_REGISTRYINDEX);
            lua_pushnil(mState);
            SetGlobal(mState, "_SCRIPT");
        }
        mStateOwner.reset();
    } else {
        lua_close(mState);
    }
}

TScript* TScript::FromState(lua_State* L) {
    PushOwnerKey(L);
    lua_rawget(L, LUA_REGISTRYINDEX);
    void* owner = lua_islightuserdata(L, -1) ? lua_touserdata(L, -1) : nullptr;
    lua_pop(L, 1);
    return static_cast<TScript*>(owner);
}

str TScript::GetSearchPath() {
    return kSearchPath;
}

void TScript::InitState() {
    int height = lua_gettop(mState);
    luaopen_base(mState);
    luaopen_string(mState);
    luaopen_table(mState);
    lua_settop(mState, height);
    RegisterScriptGlobals(mState);
}

bool TScript::RunScript(const str& fileName) {
    int height = lua_gettop(mState);
    if (fileName.Length() == 0 || !FileExists(fileName)) return false;
    str error;
    std::shared_ptr<TScriptCode> code = TScriptCode::Load(fileName, GetSearchPath(), &error);
    int status = LUA_ERRFILE;
    if (code) status = luaL_loadbuffer(mState, code->GetData(), code->GetSize(), fileName.c_str());
    if (status == 0) {
        status = RunFunction(0, 1);
        ShrinkTo(mState, height);
        if (status == 0) return true;
        LogPrintf("Failed to run script %s: %d", fileName.c_str(), status);
        return false;
    }
    // Reported like every script error, through "_ALERT".
    bool loaderMessage = code && error.Length() == 0;
    PushGlobal(mState, "_ALERT");
    if (loaderMessage)
        lua_pushvalue(mState, -2);
    else
        lua_pushstring(mState, error.c_str());
    CallLogged(1);
    ShrinkTo(mState, height);
    return false;
}

void TScript::DeleteTemporaries() {
    std::vector<TLuaObjectWrapper*> doomed;
    doomed.swap(mTemporaries);
    for (TLuaObjectWrapper* wrapper : doomed)
        delete wrapper;
}

bool TScript::IsYielded() const {
    return lua_isyielded(mState) != 0;
}

bool TScript::IsInCall() const {
    lua_Debug ar;
    return lua_getstack(mState, 0, &ar) != 0;
}

int TScript::ProtectedCall(int nargs, int nresults) {
    PushGlobal(mState, "_ALERT");
    lua_insert(mState, 1);
    int status = lua_pcall(mState, nargs, nresults, 1);
    lua_remove(mState, 1);
    return status;
}

void TScript::CallLogged(int nargs) {
    int below = lua_gettop(mState) - nargs - 1;
    if (lua_pcall(mState, nargs, 0, 0) != 0) LogLuaError(mState, -1);
    ShrinkTo(mState, below);
}

int TScript::RunFunction(int nargs, int nresults) {
    DeleteTemporaries();
    if (IsYielded() && nresults <= 1) {
        int status = 0;
        if (OfferToCoroutine(nargs, &status)) {
            for (int i = 0; i < nresults; ++i)
                lua_pushnil(mState);
            return 0;
        }
        if (status != 0) return status;
        nargs = 0;
    }
    int status = ProtectedCall(nargs, nresults);
    if (status == 0) {
        if (nresults == 1 && !IsYielded() && lua_isfunction(mState, -1)) StartCoroutine();
        return 0;
    }
    if (nresults >= 2) {
        LogPrintf("TScript::RunFunction failure. Too many return results? (%d, FAILURE CODE %d)",
                  nresults, status);
    }
    return status;
}

bool TScript::OfferToCoroutine(int nargs, int* status) {
    PushGlobal(mState, "GetClosure");
    if (lua_isnil(mState, -1)) {
        lua_pop(mState, 1);
        lua_dostring(mState, kGetClosureSource);
        PushGlobal(mState, "GetClosure");
    }
    lua_insert(mState, -(nargs + 2));
    *status = ProtectedCall(nargs + 1, 1);
    if (*status != 0) return false;
    TLuaFunction closure(mState);
    closure.PushObject();
    if (DeliverCommand()) return true;
    closure.PushObject();
    return false;
}

void TScript::StartCoroutine() {
    if (IsStopped()) SetTimer(0, true, true, false);
    if (IsInCall()) {
        // Asked from inside a call running on the state: the state is then a running coroutine,
        // which cannot be resumed (lua_resume would drop that call's stack). The function stays
        // the result.
        LogPrintf("lua_resume error: %s", "cannot resume non-suspended coroutine");
        return;
    }
    mCoroutineBase = lua_gettop(mState) - 1;
    int status = lua_resume(mState, 0);
    if (status != 0) {
        LogPrintf("lua_resume error: %s", LuaErrorText(mState, -1).c_str());
        // A failed coroutine leaves only its error in the state's base frame.
        lua_settop(mState, 0);
    } else if (IsYielded()) {
        lua_settop(mState, 0);  // what it yielded: nobody reads it
    } else {
        ShrinkTo(mState, mCoroutineBase);  // it ended at once: what it returned
    }
    lua_pushnil(mState);
}

bool TScript::DeliverCommand() {
    lua_pop(mState, 1);
    return false;
}

void TScript::DoLuaString(const str& text, int length, int nresults) {
    int height = lua_gettop(mState);
    str path = str("LUA_PATH='") + GetSearchPath() + "' ;";
    lua_dostring(mState, path.c_str());
    int size = static_cast<int>(text.Length());
    if (length < 0 || length > size) length = size;

    const char* stage = "parsing";
    int status = luaL_loadbuffer(mState, text.c_str(), static_cast<size_t>(length), text.c_str());
    if (status == 0) {
        status = RunFunction(0, nresults != 0 ? nresults : 1);
        if (status == 0) {
            if (nresults == 0) lua_pop(mState, 1);
            return;
        }
        stage = "running";
    }
    // Only strings and numbers have a text (lua_isstring also accepts a wide string).
    const char* error = lua_tostring(mState, -1);
    if (error != nullptr) {
        str message = str::Format("Lua Error: %s\n\twhen %s", error, stage);
        LogPrintf("DoLuaString %s %s", message.c_str(), text.c_str());
        PushGlobal(mState, "LuaErrorMessage");
        if (lua_isnil(mState, -1)) {
            lua_pop(mState, 1);
        } else {
            lua_pushstring(mState, message.c_str());
            CallLogged(1);
        }
    }
    ShrinkTo(mState, height);
}

int TScript::Resume(int nargs) {
    DeleteTemporaries();
    if (!IsYielded()) {
        // Only a waiting coroutine is resumed: lua_resume would start whatever function lies
        // below the values, or, inside a running call, drop that call's stack.
        LogPrintf("lua_resume ERROR: %s", IsInCall() ? "cannot resume non-suspended coroutine"
                                                     : "cannot resume dead coroutine");
        lua_pop(mState, nargs);
        return LUA_ERRRUN;
    }
    int status = lua_resume(mState, nargs);
    if (status != 0) {
        LogPrintf("lua_resume ERROR: %s", LuaErrorText(mState, -1).c_str());
        lua_pop(mState, 1);
    } else if (!IsInCall()) {
        ShrinkTo(mState, mCoroutineBase);  // it ended: what it returned
    }
    return status;
}

bool TScript::Animate() {
    // A call still running means the task manager was pumped from inside the script: the
    // coroutine is busy, not over, and must not lose its task.
    if (IsInCall() && !IsYielded()) return true;
    // A coroutine that is over fails to resume (and says so), which stops the task.
    if (Resume(0) != 0 || !IsYielded()) Stop();
    return true;
}

double TScript::PopNumber(lua_State* L) {
    double value = lua_tonumber(L, -1);
    lua_pop(L, 1);
    return value;
}

str TScript::PopString(lua_State* L) {
    const char* text = lua_tostring(L, -1);
    str value = text != nullptr ? str(text) : str();
    lua_pop(L, 1);
    return value;
}

TVec4 TScript::PopColor(lua_State* L) {
    TVec4 color;
    int table = lua_gettop(L);
    if (table == 0 || !lua_istable(L, table)) {
        lua_pop(L, 1);
        return color;
    }
    float* parts[] = {&color.x, &color.y, &color.z, &color.w};
    for (int i = 0; i < 4; ++i) {
        lua_pushnumber(L, i + 1);
        lua_gettable(L, table);
        *parts[i] = static_cast<float>(lua_tonumber(L, -1));
    }
    lua_settop(L, table - 1);
    return color;
}

bool TScript::PopBool(lua_State* L) {
    bool value = false;
    int type = lua_type(L, -1);
    switch (type) {
        case LUA_TNONE:
            return false;
        case LUA_TNIL:
            break;
        case LUA_TBOOLEAN:
            value = lua_toboolean(L, -1) != 0;
            break;
        case LUA_TNUMBER:
            value = lua_tonumber(L, -1) != 0.0;
            break;
        case LUA_TSTRING:
            LogPrintf("PopBool used on lua string %s", lua_tostring(L, -1));
            break;
        default:
            LogPrintf("PopBool used on a type that isn't a number, a boolean, or nil. (type: %d)",
                      type);
            break;
    }
    lua_pop(L, 1);
    return value;
}

void TScript::SetGlobalString(const str& name, const str& value) {
    lua_pushstring(mState, value.c_str());
    SetGlobal(mState, name.c_str());
}

void TScript::AddTemporary(TLuaObjectWrapper* wrapper) {
    mTemporaries.push_back(wrapper);
}

void TScript::SetStateOwner(std::unique_ptr<TLuaStateOwner> owner) {
    mStateOwner = std::move(owner);
}
