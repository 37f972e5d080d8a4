#include "script/lua/lua.h"

#include <gtest/gtest.h>

namespace {

TEST(LuaApiTest, OpensAndCloses) {
    lua_State* L = lua_open();
    ASSERT_NE(L, nullptr);
    lua_close(L);
}

}  // namespace
