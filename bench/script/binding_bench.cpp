// Costs of the script host: a Lua call of a bound member function (numbers, texts, a table), set
// against a plain native function doing the same conversions; Lua text run through
// DoLuaString; one resume of a waiting coroutine.
#include <benchmark/benchmark.h>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/luabinding.h"
#include "script/script.h"

namespace {

class Target {
public:
    int Add(int a, int b) { return a + b; }
    str Join(str a, const str& b) { return a + b; }
    double First(TLuaTable* t) { return t->GetNumberAt(1, 0); }
};

int PlainAdd(lua_State* L) {
    lua_pushnumber(L, luaO_wrapint(lua_tonumber(L, 1)) + luaO_wrapint(lua_tonumber(L, 2)));
    return 1;
}

// Runs the loop body 1000 times per iteration, as one chunk loaded once.
void RunLoop(benchmark::State& state, TScript& script, const char* body) {
    lua_State* L = script.GetState();
    std::string code = std::string("return function() for i = 1, 1000 do ") + body + " end end";
    luaL_loadbuffer(L, code.data(), code.size(), "=bench");
    lua_pcall(L, 0, 1, 0);
    for (auto _ : state) {
        lua_pushvalue(L, -1);
        if (lua_pcall(L, 0, 0, 0) != 0) {
            state.SkipWithError(lua_tostring(L, -1));
            break;
        }
        // The table wrappers handed over by the calls go here, as at a script's next run.
        lua_pushnil(L);
        script.RunFunction(0, 0);
        lua_settop(L, 1);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
    lua_settop(L, 0);
}

void BM_PlainNativeCall(benchmark::State& state) {
    TScript script;
    lua_register(script.GetState(), "Add", PlainAdd);
    RunLoop(state, script, "Add(i, 1)");
}
BENCHMARK(BM_PlainNativeCall);

// The member function bound as name, called by the loop body.
template <class Method>
void RunBoundLoop(benchmark::State& state, const char* name, Method method, const char* body) {
    TScript script;
    Target target;
    LuaBindMember(script.GetState(), name, &target, method);
    lua_dostring(script.GetState(), "shared = { 1, 2, 3 }");
    RunLoop(state, script, body);
}

void BM_BoundCallNumbers(benchmark::State& state) {
    RunBoundLoop(state, "Add", &Target::Add, "Add(i, 1)");
}
BENCHMARK(BM_BoundCallNumbers);

void BM_BoundCallTexts(benchmark::State& state) {
    RunBoundLoop(state, "Join", &Target::Join, "Join('window_', 'name')");
}
BENCHMARK(BM_BoundCallTexts);

void BM_BoundCallTable(benchmark::State& state) {
    RunBoundLoop(state, "First", &Target::First, "First(shared)");
}
BENCHMARK(BM_BoundCallTable);

void BM_DoLuaString(benchmark::State& state) {
    TScript script;
    for (auto _ : state)
        script.DoLuaString("counter = (counter or 0) + 1");
}
BENCHMARK(BM_DoLuaString);

void BM_ResumeWaitingCoroutine(benchmark::State& state) {
    TScript script;
    script.DoLuaString("return function() while true do coroutine.yield() end end");
    for (auto _ : state)
        script.Resume(0);
}
BENCHMARK(BM_ResumeWaitingCoroutine);

}  // namespace
