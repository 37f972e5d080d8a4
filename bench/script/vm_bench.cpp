// The interpreter loop and the compiler: tight arithmetic loops, Lua-to-Lua calls, table
// fields, closures and method calls, and compiling a chunk. Each benchmark runs one compiled
// function per iteration; items are loop passes (or calls).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/lua/lib/lualib.h"

namespace {

// Compiles code (a function body taking n) and keeps the function in the registry slot 1.
lua_State* Prepare(const char* body) {
    lua_State* L = lua_open();
    luaopen_base(L);
    std::string code = "return function(n)\n" + std::string(body) + "\nend";
    if (luaL_loadbuffer(L, code.data(), code.size(), "=bench") != 0 || lua_pcall(L, 0, 1, 0) != 0) {
        fprintf(stderr, "bench: %s\n", lua_tostring(L, -1));
        return L;
    }
    lua_rawseti(L, LUA_REGISTRYINDEX, 1);
    return L;
}

void RunBody(benchmark::State& state, const char* body, int64_t itemsPerRun) {
    lua_State* L = Prepare(body);
    for (auto _ : state) {
        lua_rawgeti(L, LUA_REGISTRYINDEX, 1);
        lua_pushnumber(L, static_cast<lua_Number>(state.range(0)));
        if (lua_pcall(L, 1, 1, 0) != 0) {
            state.SkipWithError(lua_tostring(L, -1));
            break;
        }
        benchmark::DoNotOptimize(lua_tonumber(L, -1));
        lua_pop(L, 1);
    }
    state.SetItemsProcessed(state.iterations() * itemsPerRun);
    lua_close(L);
}

void BM_VmArithmeticLoop(benchmark::State& state) {
    RunBody(state, "local s = 0 for i = 1, n do s = s + i * 2 - 1 end return s", state.range(0));
}
BENCHMARK(BM_VmArithmeticLoop)->Arg(100000);

void BM_VmBitOperators(benchmark::State& state) {
    RunBody(state, "local s = 0 for i = 1, n do s = (s ^ i) & 0xffff | (i << 3) end return s",
            state.range(0));
}
BENCHMARK(BM_VmBitOperators)->Arg(100000);

void BM_VmWhileAndCompare(benchmark::State& state) {
    RunBody(state,
            "local i, s = 0, 0 while i < n do i = i + 1 if i > 10 then s = s + 1 end end "
            "return s",
            state.range(0));
}
BENCHMARK(BM_VmWhileAndCompare)->Arg(100000);

// Recursive calls: fib(n) makes about 2 fib(n) calls.
void BM_VmRecursiveCalls(benchmark::State& state) {
    RunBody(state,
            "local function fib(k) if k < 2 then return k end return fib(k - 1) + "
            "fib(k - 2) end return fib(n)",
            21891);  // calls made by fib(20)
}
BENCHMARK(BM_VmRecursiveCalls)->Arg(20);

void BM_VmTableFields(benchmark::State& state) {
    RunBody(state,
            "local t = {x = 0, y = 0} for i = 1, n do t.x = t.x + 1 t.y = t.x + t.y end "
            "return t.y",
            state.range(0));
}
BENCHMARK(BM_VmTableFields)->Arg(100000);

void BM_VmArrayWrites(benchmark::State& state) {
    RunBody(state,
            "local t = {} for i = 1, n do t[i] = i end local s = 0 for i = 1, n do "
            "s = s + t[i] end return s",
            state.range(0));
}
BENCHMARK(BM_VmArrayWrites)->Arg(10000);

void BM_VmMethodCalls(benchmark::State& state) {
    RunBody(state,
            "local o = {v = 0} function o:add(k) self.v = self.v + k end "
            "for i = 1, n do o:add(i) end return o.v",
            state.range(0));
}
BENCHMARK(BM_VmMethodCalls)->Arg(100000);

void BM_VmClosures(benchmark::State& state) {
    RunBody(state,
            "local s = 0 for i = 1, n do local f = function() return i end s = s + f() "
            "end return s",
            state.range(0));
}
BENCHMARK(BM_VmClosures)->Arg(10000);

void BM_VmGlobalFunctionCalls(benchmark::State& state) {
    RunBody(state, "local s = 0 for i = 1, n do s = s + tonumber(i) end return s", state.range(0));
}
BENCHMARK(BM_VmGlobalFunctionCalls)->Arg(100000);

void BM_CompileChunk(benchmark::State& state) {
    std::string code;
    for (int i = 0; i < 100; i++) {
        code += "local function f" + std::to_string(i) +
                "(a, b) if a < b then return a + b * 2 else return {a, b, x = a .. b} end end\n";
    }
    lua_State* L = lua_open();
    for (auto _ : state) {
        if (luaL_loadbuffer(L, code.data(), code.size(), "=chunk") != 0) {
            state.SkipWithError(lua_tostring(L, -1));
            break;
        }
        lua_pop(L, 1);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(code.size()));
    lua_close(L);
}
BENCHMARK(BM_CompileChunk);

}  // namespace
