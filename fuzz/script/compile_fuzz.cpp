// The script compiler: the bytes as a chunk of source text (or, with a byte-order mark, of
// UTF-16 text), compiled but not run. Whatever compiles must pass the code checker.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "script/lua/api.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/debuginfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lua_State* L = lua_open();
    if (L == nullptr) return 0;
    const char* text = reinterpret_cast<const char*>(data);
    if (luaL_loadbuffer(L, text, size, "=fuzz") == 0) {
        std::vector<Proto*> protos{static_cast<LClosure*>(clvalue(luaA_index(L, -1)))->p};
        for (size_t i = 0; i < protos.size(); i++) {
            if (!luaG_checkcode(protos[i])) abort();
            for (int j = 0; j < protos[i]->sizep; j++)
                protos.push_back(protos[i]->p[j]);
        }
    }
    lua_close(L);
    return 0;
}
