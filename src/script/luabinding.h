// Native functions as Lua globals. A bound global is a native closure whose one upvalue is a
// full userdata, the binding block: the object the calls go to first, then the member-function
// pointer (or, for a free function, the function pointer). The closure's native function is a
// trampoline made by the templates below for the exact signature: it reads the arguments from
// stack indices 1, 2, 3 ..., calls, and pushes the result.
//
// Conversions (a missing or unconvertible argument gives 0, false or the empty text):
//   int, short      number truncated toward zero (luaO_wrapint; NaN and numbers beyond 64 bits
//                   give 0; short keeps the low 16 bits); pushed back as a number
//   float, double   number; pushed back as a number
//   bool            any value but nil and false is true; pushed back as a boolean
//   str             LuaToStr (a string or a number; anything else is the empty text);
//                   pushed back with PushLuaStr
//   TLuaTable*      (argument only) a new wrapper over the argument, whatever its type. It lives
//                   for the call; then it is handed to the state's TScript, which deletes it at its
//                   next run or resume, or, in a state without one, deleted at once.
//
// A member that takes the state itself (LuaBindStackMember) reads its arguments, pushes its
// results and answers their number, or what lua_yield answered.
//
// Unbinding: the owner of a binding keeps its block alive through a registry reference.
// LuaUnbind clears the block's object field, drops the reference and sets the global to nil,
// whatever the global holds by then; a call through a copy of the closure that a script kept
// raises a Lua error instead of reaching a destroyed object. LuaUnbindIfOwn does the same but
// leaves a global that holds another closure by then (a newer owner's binding of the same name).
// TLuaBindings does this for an owner: it unbinds everything in its destructor, and nothing when
// the script it bound into is gone.
//
// Values that native code keeps beyond a call are held in the script's own state (its main
// thread, LuaMoveToHost): a coroutine that called may be collected before the holder goes.
//
// Main thread only, like the state.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/str.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/lua/numconv.h"
#include "script/luatable.h"

class TScript;

// The value at the index as a text: strings and numbers (a number is turned into a string in
// place, as lua_tostring does); the empty text for anything else or a missing argument.
str LuaToStr(lua_State* L, int index);
void PushLuaStr(lua_State* L, str text);

// Moves the value on top of L's stack to the main thread of the script whose constructor made
// L's state and answers that thread; for a state no TScript made, L itself (nothing moves).
lua_State* LuaMoveToHost(lua_State* L);

namespace luabinding {

// Every block starts with the object field; it is null once the binding is undone.
struct TBlockHead {
    void* object;
};

template <class M>
struct TMemberBlock {
    void* object;
    M method;
};

template <class F>
struct TFunctionBlock {
    void* object;  // the block itself while bound: free functions have no object
    F function;
};

// The table arguments of one call, at most N.
template <size_t N>
class TCallTables {
public:
    void Add(TLuaTable* table) { mTables[mCount++] = table; }
    // Hands each to the state's script, or deletes it. Runs after the call, also after a Lua
    // error (from a catch block, where calls into the state may raise again safely).
    void Release() {
        for (size_t i = 0; i < mCount; ++i) {
            if (!mTables[i]->DeleteOnResume()) delete mTables[i];
        }
        mCount = 0;
    }

private:
    TLuaTable* mTables[N == 0 ? 1 : N] = {};
    size_t mCount = 0;
};

template <class T>
struct TArg {
    static_assert(sizeof(T) == 0, "no Lua conversion for this parameter type");
};
template <>
struct TArg<int> {
    template <class Tables>
    static int Get(lua_State* L, int i, Tables&) {
        return luaO_wrapint(lua_tonumber(L, i));
    }
};
template <>
struct TArg<short> {
    template <class Tables>
    static short Get(lua_State* L, int i, Tables&) {
        return static_cast<short>(luaO_wrapint(lua_tonumber(L, i)));
    }
};
template <>
struct TArg<float> {
    template <class Tables>
    static float Get(lua_State* L, int i, Tables&) {
        return static_cast<float>(lua_tonumber(L, i));
    }
};
template <>
struct TArg<double> {
    template <class Tables>
    static double Get(lua_State* L, int i, Tables&) {
        return lua_tonumber(L, i);
    }
};
template <>
struct TArg<bool> {
    template <class Tables>
    static bool Get(lua_State* L, int i, Tables&) {
        return lua_toboolean(L, i) != 0;
    }
};
template <>
struct TArg<str> {
    template <class Tables>
    static str Get(lua_State* L, int i, Tables&) {
        return LuaToStr(L, i);
    }
};
template <>
struct TArg<TLuaTable*> {
    template <class Tables>
    static TLuaTable* Get(lua_State* L, int i, Tables& tables) {
        lua_pushvalue(L, i);
        auto* table = new TLuaTable(LuaMoveToHost(L));
        tables.Add(table);
        return table;
    }
};

template <class T>
constexpr bool kIsNumber = std::is_same_v<T, int> || std::is_same_v<T, short> ||
                           std::is_same_v<T, float> || std::is_same_v<T, double>;

template <class T>
struct TResult {
    static_assert(kIsNumber<T>, "no Lua conversion for this result type");
    static void Push(lua_State* L, T v) { lua_pushnumber(L, static_cast<lua_Number>(v)); }
};
template <>
struct TResult<bool> {
    static void Push(lua_State* L, bool v) { lua_pushboolean(L, v ? 1 : 0); }
};
template <>
struct TResult<str> {
    static void Push(lua_State* L, str v) { PushLuaStr(L, std::move(v)); }
};

template <class T>
using Plain = std::remove_cv_t<std::remove_reference_t<T>>;

// Raises the Lua error for a call through a binding that was undone.
[[noreturn]] void RaiseUnbound(lua_State* L);

// Converts the arguments, calls, pushes the result; answers the number of results.
template <class R, class... A, class Call, size_t... I>
int Invoke(lua_State* L, Call&& call, std::index_sequence<I...>) {
    TCallTables<sizeof...(A)> tables;
    try {
        if constexpr (std::is_void_v<R>) {
            call(TArg<Plain<A>>::Get(L, static_cast<int>(I) + 1, tables)...);
        } else {
            TResult<Plain<R>>::Push(
                L, call(TArg<Plain<A>>::Get(L, static_cast<int>(I) + 1, tables)...));
        }
    } catch (...) {
        tables.Release();
        throw;
    }
    tables.Release();
    return std::is_void_v<R> ? 0 : 1;
}

template <class C, class M, class R, class... A>
int MemberTrampoline(lua_State* L) {
    auto* block = static_cast<TMemberBlock<M>*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (block == nullptr || block->object == nullptr) RaiseUnbound(L);
    C* object = static_cast<C*>(block->object);
    M method = block->method;
    return Invoke<R, A...>(
        L,
        [object, method](auto&&... args) -> decltype(auto) {
            return (object->*method)(std::forward<decltype(args)>(args)...);
        },
        std::index_sequence_for<A...>{});
}

template <class F, class R, class... A>
int FunctionTrampoline(lua_State* L) {
    auto* block = static_cast<TFunctionBlock<F>*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (block == nullptr || block->object == nullptr) RaiseUnbound(L);
    F function = block->function;
    return Invoke<R, A...>(
        L,
        [function](auto&&... args) -> decltype(auto) {
            return function(std::forward<decltype(args)>(args)...);
        },
        std::index_sequence_for<A...>{});
}

template <class C>
int StackMemberTrampoline(lua_State* L) {
    using M = int (C::*)(lua_State*);
    auto* block = static_cast<TMemberBlock<M>*>(lua_touserdata(L, lua_upvalueindex(1)));
    if (block == nullptr || block->object == nullptr) RaiseUnbound(L);
    return (static_cast<C*>(block->object)->*block->method)(L);
}

// The block as a new userdata on top of the stack.
template <class Block>
Block* NewBlock(lua_State* L) {
    static_assert(std::is_trivially_destructible_v<Block>, "Lua never destroys a block");
    return new (lua_newuserdata(L, sizeof(Block))) Block{};
}

// Takes the block on top, makes the closure over it and sets the global; answers the registry
// reference that keeps the block.
int SetGlobal(lua_State* L, const char* name, lua_CFunction trampoline);

template <class Obj, class C, class M, class R, class... A>
int BindMember(lua_State* L, const char* name, Obj* object, M method) {
    auto* block = NewBlock<TMemberBlock<M>>(L);
    block->object = static_cast<void*>(static_cast<C*>(object));
    block->method = method;
    return SetGlobal(L, name, &MemberTrampoline<C, M, R, A...>);
}

}  // namespace luabinding

// Binds a member function (or a const one) of the object as the global name. The object must
// outlive the binding: LuaUnbind before it dies. Answers the binding's reference.
template <class Obj, class C, class R, class... A>
int LuaBindMember(lua_State* L, const char* name, Obj* object, R (C::*method)(A...)) {
    return luabinding::BindMember<Obj, C, R (C::*)(A...), R, A...>(L, name, object, method);
}
template <class Obj, class C, class R, class... A>
int LuaBindMember(lua_State* L, const char* name, Obj* object, R (C::*method)(A...) const) {
    return luabinding::BindMember<Obj, C, R (C::*)(A...) const, R, A...>(L, name, object, method);
}

// Binds a member that takes the state and manages the stack itself.
template <class Obj, class C>
int LuaBindStackMember(lua_State* L, const char* name, Obj* object, int (C::*method)(lua_State*)) {
    using M = int (C::*)(lua_State*);
    auto* block = luabinding::NewBlock<luabinding::TMemberBlock<M>>(L);
    block->object = static_cast<void*>(static_cast<C*>(object));
    block->method = method;
    return luabinding::SetGlobal(L, name, &luabinding::StackMemberTrampoline<C>);
}

// Binds a free function as the global name. Answers the binding's reference.
template <class R, class... A>
int LuaBindFunction(lua_State* L, const char* name, R (*function)(A...)) {
    using F = R (*)(A...);
    auto* block = luabinding::NewBlock<luabinding::TFunctionBlock<F>>(L);
    block->object = block;
    block->function = function;
    return luabinding::SetGlobal(L, name, &luabinding::FunctionTrampoline<F, R, A...>);
}

// Undoes a binding: clears the block's object field, drops the reference, sets the global to
// nil.
void LuaUnbind(lua_State* L, const char* name, int ref);
// Undoes a binding as LuaUnbind does, but sets the global to nil only while it still holds this
// binding's closure.
void LuaUnbindIfOwn(lua_State* L, const char* name, int ref);

// The bindings of one owner in one script. Binding does nothing without a script; unbinding
// does nothing once the script is destroyed.
class TLuaBindings {
public:
    explicit TLuaBindings(TScript* script);
    ~TLuaBindings() { UnbindAll(); }
    TLuaBindings(const TLuaBindings&) = delete;
    TLuaBindings& operator=(const TLuaBindings&) = delete;

    template <class Obj, class Method>
    void Bind(const char* name, Obj* object, Method method) {
        if (lua_State* L = GetLiveState())
            mBound.push_back({name, LuaBindMember(L, name, object, method)});
    }
    template <class Function>
    void BindFunction(const char* name, Function* function) {
        if (lua_State* L = GetLiveState())
            mBound.push_back({name, LuaBindFunction(L, name, function)});
    }
    template <class Obj, class C>
    void BindStack(const char* name, Obj* object, int (C::*method)(lua_State*)) {
        if (lua_State* L = GetLiveState())
            mBound.push_back({name, LuaBindStackMember(L, name, object, method)});
    }
    void UnbindAll();
    // Undoes every binding; a global that holds another closure by then keeps it.
    void UnbindAllIfOwn();

private:
    struct Bound {
        str name;
        int ref;
    };

    lua_State* GetLiveState() const;

    std::weak_ptr<lua_State*> mState;
    std::vector<Bound> mBound;
};
