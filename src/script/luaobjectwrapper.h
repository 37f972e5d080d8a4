// TLuaObjectWrapper: native code's hold on one Lua value across calls. The value lives in the
// state's registry under the wrapper's own address (a light userdata key), so it stays alive
// exactly as long as the wrapper; destroying the wrapper drops the entry and lets the collector
// have the value. Wrappers are not copied: two wrappers over one value are two entries.
//
// TLuaFunction holds a function, TLuaTable (luatable.h) a table; neither checks the type of the
// value it is given.
//
// A wrapper belongs to its state and must be destroyed before the state is closed (TScript
// deletes the temporaries it was handed first). Main thread only, like the state.
#pragma once

struct lua_State;

class TLuaObjectWrapper {
public:
    // Takes the value on top of the stack (nil when the stack is empty) and pops it.
    explicit TLuaObjectWrapper(lua_State* state);
    virtual ~TLuaObjectWrapper();
    TLuaObjectWrapper(const TLuaObjectWrapper&) = delete;
    TLuaObjectWrapper& operator=(const TLuaObjectWrapper&) = delete;

    // Pushes the wrapped value.
    void PushObject() const;
    lua_State* GetState() const { return mState; }

protected:
    lua_State* mState;
};

class TLuaFunction : public TLuaObjectWrapper {
public:
    explicit TLuaFunction(lua_State* state) : TLuaObjectWrapper(state) {}

    // Calls the function without arguments, protected, with the global "_ALERT" as the error
    // function; its result is dropped. A value that is no function is not called. Answers the
    // Lua status (0 also when nothing was called).
    int Call() const;
};
