// Costs of the scripting core that every script and binding pays: table reads and writes by
// number and by string, string interning, and a full collection of a populated state.
#include <benchmark/benchmark.h>

#include "script/lua/lua.h"

static void BM_TableSetGetNumbers(benchmark::State& state) {
    lua_State* L = lua_open();
    for (auto _ : state) {
        lua_newtable(L);
        for (int i = 1; i <= state.range(0); i++) {
            lua_pushnumber(L, i);
            lua_rawseti(L, -2, i);
        }
        double sum = 0;
        for (int i = 1; i <= state.range(0); i++) {
            lua_rawgeti(L, -1, i);
            sum += lua_tonumber(L, -1);
            lua_pop(L, 1);
        }
        benchmark::DoNotOptimize(sum);
        lua_pop(L, 1);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    lua_close(L);
}
BENCHMARK(BM_TableSetGetNumbers)->Arg(16)->Arg(1024);

static void BM_TableGetString(benchmark::State& state) {
    lua_State* L = lua_open();
    lua_newtable(L);
    const char* names[] = {"x", "y", "width", "height", "visible", "alpha", "name", "parent"};
    for (const char* name : names) {
        lua_pushstring(L, name);
        lua_pushnumber(L, 1);
        lua_rawset(L, -3);
    }
    for (const char* name : names)
        lua_pushstring(L, name);
    for (auto _ : state) {
        for (int k = 2; k <= 9; k++) {
            lua_pushvalue(L, k);
            lua_rawget(L, 1);
            lua_pop(L, 1);
        }
    }
    state.SetItemsProcessed(state.iterations() * 8);
    lua_close(L);
}
BENCHMARK(BM_TableGetString);

static void BM_PushInternedString(benchmark::State& state) {
    lua_State* L = lua_open();
    for (auto _ : state) {
        lua_pushstring(L, "scripts/ub_alert.lua");
        lua_pop(L, 1);
    }
    lua_close(L);
}
BENCHMARK(BM_PushInternedString);

static void BM_FullCollection(benchmark::State& state) {
    lua_State* L = lua_open();
    lua_newtable(L);
    for (int i = 1; i <= state.range(0); i++) {
        lua_newtable(L);
        lua_pushfstring(L, "item %d", i);
        lua_rawseti(L, -2, 1);
        lua_rawseti(L, 1, i);
    }
    for (auto _ : state)
        lua_setgcthreshold(L, 0);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    lua_close(L);
}
BENCHMARK(BM_FullCollection)->Arg(10000);
BENCHMARK_MAIN();
