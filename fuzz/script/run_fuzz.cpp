// Script text compiled and run with the base, string and table libraries, under budgets: an
// instruction count checked every few instructions, and an allocator that refuses to hand out
// more than a fixed total over the run (which also bounds the copying of strings built by
// repeated concatenation). Removed: string.rep, since one call of it can ask for gigabytes;
// xpcall and newproxy, since error handlers and finalisers run with hooks off (an error raised
// by the count hook would run the handler unbudgeted); print writes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "script/lua/api.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/lualib.h"

namespace {

constexpr size_t kAllocationBudget = 64u << 20;
constexpr int kHookBudget = 5000;  // hook calls, one every 10 instructions

int sSteps = 0;
size_t sAllocated = 0;

void* BudgetAlloc(void*, void* block, size_t, size_t newSize) {
    if (newSize == 0) {
        free(block);
        return nullptr;
    }
    if (sAllocated + newSize > kAllocationBudget) return nullptr;
    sAllocated += newSize;
    return realloc(block, newSize);
}

void CountHook(lua_State* L, lua_Debug*) {
    if (++sSteps > kHookBudget) luaL_error(L, "instruction budget spent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sSteps = 0;
    sAllocated = 0;
    lua_State* L = lua_newstate(BudgetAlloc, nullptr);
    if (L == nullptr) return 0;
    luaopen_base(L);
    luaopen_string(L);
    luaopen_table(L);
    lua_settop(L, 0);
    lua_dostring(L, "string.rep = nil xpcall = nil newproxy = nil print = function() end");
    lua_sethook(L, CountHook, LUA_MASKCOUNT, 10);
    const char* text = reinterpret_cast<const char*>(data);
    if (luaL_loadbuffer(L, text, size, "=fuzz") == 0) lua_pcall(L, 0, 0, 0);
    lua_close(L);
    return 0;
}
