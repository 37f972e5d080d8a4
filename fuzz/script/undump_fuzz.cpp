// The binary chunk reader: the bytes, behind the chunk signature, loaded but never run. Whatever
// loads has passed the code checker; whatever fails leaves a message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lua_State* L = lua_open();
    if (L == nullptr) return 0;
    // Every input is read as a binary chunk, also one that lacks a good signature.
    std::string chunk = "\x1b";
    chunk.append(reinterpret_cast<const char*>(data), size);
    if (size > 0 && data[0] == 0x1b) chunk.erase(0, 1);
    int status = luaL_loadbuffer(L, chunk.data(), chunk.size(), "=fuzz");
    if (status != 0 && lua_type(L, -1) != LUA_TSTRING) abort();
    lua_close(L);
    return 0;
}
