#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "script/lua/lua.h"

namespace {

class LuaErrorsTest : public ::testing::Test {
protected:
    void SetUp() override { L = lua_open(); }
    void TearDown() override { lua_close(L); }

    // Runs f protected with no arguments; answers the status and leaves the error on top.
    int Protected(lua_CFunction f) {
        lua_pushcfunction(L, f);
        return lua_pcall(L, 0, 0, 0);
    }

    std::string Top() {
        const char* s = lua_tostring(L, -1);
        return s != nullptr ? s : "<not a string>";
    }

    lua_State* L = nullptr;
};

int Raise(lua_State* L) {
    lua_pushstring(L, "boom");
    return lua_error(L);
}

TEST_F(LuaErrorsTest, ProtectedCallReturnsStatusAndMessage) {
    lua_pushnumber(L, 1);
    int top = lua_gettop(L);
    EXPECT_EQ(Protected(Raise), LUA_ERRRUN);
    EXPECT_EQ(Top(), "boom");
    EXPECT_EQ(lua_gettop(L), top + 1);

    // Any value can be the error object.
    EXPECT_EQ(Protected([](lua_State* L) -> int {
                  lua_newtable(L);
                  return lua_error(L);
              }),
              LUA_ERRRUN);
    EXPECT_TRUE(lua_istable(L, -1));
}

struct Flag {
    bool* set;
    ~Flag() { *set = true; }
};

bool gUnwound = false;

TEST_F(LuaErrorsTest, NativeFramesAreUnwound) {
    gUnwound = false;
    EXPECT_EQ(Protected([](lua_State* L) -> int {
                  Flag flag{&gUnwound};
                  lua_pushcfunction(L, Raise);
                  lua_call(L, 0, 0);
                  return 0;
              }),
              LUA_ERRRUN);
    EXPECT_TRUE(gUnwound);
}

int gDepth = 0;

int Recurse(lua_State* L) {
    gDepth++;
    lua_pushcfunction(L, Recurse);
    lua_call(L, 0, 0);
    return 0;
}

TEST_F(LuaErrorsTest, NestedNativeCallsStopAtTwoHundred) {
    gDepth = 0;
    EXPECT_EQ(Protected(Recurse), LUA_ERRRUN);
    EXPECT_EQ(Top(), "C stack overflow");
    EXPECT_EQ(gDepth, 199);  // the 200th nested call is refused
    // The count is restored: the same depth is reachable again.
    gDepth = 0;
    EXPECT_EQ(Protected(Recurse), LUA_ERRRUN);
    EXPECT_EQ(gDepth, 199);
}

int AddPrefix(lua_State* L) {
    lua_pushfstring(L, "handled: %s", lua_tostring(L, 1));
    return 1;
}

TEST_F(LuaErrorsTest, ErrorHandlers) {
    lua_pushcfunction(L, AddPrefix);
    lua_pushcfunction(L, Raise);
    EXPECT_EQ(lua_pcall(L, 0, 0, 1), LUA_ERRRUN);
    EXPECT_EQ(Top(), "handled: boom");
    lua_settop(L, 0);

    // A handler that fails fails again on its own error, until the depth gives up.
    lua_pushcfunction(L, Raise);
    lua_pushcfunction(L, Raise);
    EXPECT_EQ(lua_pcall(L, 0, 0, 1), LUA_ERRERR);
    EXPECT_EQ(Top(), "error in error handling");
    lua_settop(L, 0);

    lua_pushnumber(L, 3);
    lua_pushcfunction(L, Raise);
    EXPECT_EQ(lua_pcall(L, 0, 0, 1), LUA_ERRERR);
    lua_settop(L, 0);

    // The state is still usable afterwards.
    lua_pushcfunction(L, AddPrefix);
    lua_pushstring(L, "x");
    EXPECT_EQ(lua_pcall(L, 1, 1, 0), 0);
    EXPECT_EQ(Top(), "handled: x");
}

TEST_F(LuaErrorsTest, ProtectedCallOfNativeFunctionWithData) {
    static int value = 5;
    EXPECT_EQ(lua_cpcall(
                  L,
                  [](lua_State* L) -> int {
                      int* p = static_cast<int*>(lua_touserdata(L, 1));
                      lua_pushfstring(L, "got %d", *p);
                      return lua_error(L);
                  },
                  &value),
              LUA_ERRRUN);
    EXPECT_EQ(Top(), "got 5");
}

TEST_F(LuaErrorsTest, TypeErrorMessages) {
    struct Case {
        lua_CFunction f;
        const char* message;
    };
    const Case cases[] = {
        {[](lua_State* L) -> int {
             lua_pushnil(L);
             lua_pushstring(L, "k");
             lua_gettable(L, -2);
             return 0;
         },
         "attempt to index a nil value"},
        {[](lua_State* L) -> int {
             lua_pushnil(L);
             lua_pushstring(L, "k");
             lua_pushnumber(L, 1);
             lua_settable(L, -3);
             return 0;
         },
         "attempt to index a nil value"},
        {[](lua_State* L) -> int {
             lua_pushnumber(L, 1);
             lua_call(L, 0, 0);
             return 0;
         },
         "attempt to call a number value"},
        {[](lua_State* L) -> int {
             lua_pushwstring(L, u"w");
             lua_call(L, 0, 0);
             return 0;
         },
         "attempt to call a wstring value"},
        {[](lua_State* L) -> int {
             lua_newtable(L);
             lua_newtable(L);
             lua_lessthan(L, -1, -2);
             return 0;
         },
         "attempt to compare two table values"},
        {[](lua_State* L) -> int {
             lua_pushnumber(L, 1);
             lua_pushnil(L);
             lua_lessthan(L, -1, -2);
             return 0;
         },
         "attempt to compare nil with number"},
        {[](lua_State* L) -> int {
             lua_pushstring(L, "a");
             lua_pushwstring(L, u"a");
             lua_lessthan(L, -2, -1);
             return 0;
         },
         "attempt to compare string with wstring"},
        {[](lua_State* L) -> int {
             // Two booleans find the booleans' table as handler, which is not callable.
             lua_pushboolean(L, 0);
             lua_pushboolean(L, 1);
             lua_lessthan(L, -2, -1);
             return 0;
         },
         "attempt to call a table value"},
        {[](lua_State* L) -> int {
             lua_pushstring(L, "a");
             lua_pushwstring(L, u"b");
             lua_concat(L, 2);
             return 0;
         },
         "attempt to concatenate a wstring value"},
        {[](lua_State* L) -> int {
             lua_pushwstring(L, u"a");
             lua_pushstring(L, "b");
             lua_concat(L, 2);
             return 0;
         },
         "attempt to concatenate a wstring value"},
        {[](lua_State* L) -> int {
             lua_newtable(L);
             lua_pushstring(L, "b");
             lua_concat(L, 2);
             return 0;
         },
         "attempt to concatenate a table value"},
        {[](lua_State* L) -> int {
             lua_pushstring(L, "b");
             lua_pushboolean(L, 1);
             lua_concat(L, 2);
             return 0;
         },
         "attempt to concatenate a boolean value"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Protected(c.f), LUA_ERRRUN) << c.message;
        EXPECT_EQ(Top(), c.message);
        lua_settop(L, 0);
    }
}

TEST_F(LuaErrorsTest, MetamethodChainsGiveUp) {
    // A metatable whose handler is itself, and which is its own metatable.
    EXPECT_EQ(Protected([](lua_State* L) -> int {
                  lua_newtable(L);
                  lua_newtable(L);
                  for (const char* event : {"__index", "__newindex"}) {
                      lua_pushstring(L, event);
                      lua_pushvalue(L, -2);
                      lua_rawset(L, -3);
                  }
                  lua_pushvalue(L, -1);
                  lua_setmetatable(L, -2);
                  lua_setmetatable(L, -2);
                  lua_pushstring(L, "missing");
                  lua_gettable(L, -2);
                  return 0;
              }),
              LUA_ERRRUN);
    EXPECT_EQ(Top(), "loop in gettable");
    EXPECT_EQ(Protected([](lua_State* L) -> int {
                  lua_newtable(L);
                  lua_newtable(L);
                  lua_pushstring(L, "__newindex");
                  lua_pushvalue(L, -2);
                  lua_rawset(L, -3);
                  lua_pushvalue(L, -1);
                  lua_setmetatable(L, -2);
                  lua_setmetatable(L, -2);
                  lua_pushstring(L, "missing");
                  lua_pushnumber(L, 1);
                  lua_settable(L, -3);
                  return 0;
              }),
              LUA_ERRRUN);
    EXPECT_EQ(Top(), "loop in settable");
}

// An allocator that refuses once its budget of bytes is spent.
struct Budget {
    size_t used = 0;
    size_t limit = static_cast<size_t>(-1);
};

void* BudgetAlloc(void* data, void* block, size_t oldSize, size_t newSize) {
    Budget* b = static_cast<Budget*>(data);
    if (newSize == 0) {
        free(block);
        b->used -= oldSize;
        return nullptr;
    }
    if (newSize > oldSize && b->used + (newSize - oldSize) > b->limit) return nullptr;
    void* p = realloc(block, newSize);
    if (p != nullptr) b->used = b->used - oldSize + newSize;
    return p;
}

TEST(LuaMemoryTest, BlockTooBig) {
    lua_State* L = lua_open();
    for (lua_CFunction f : {
             static_cast<lua_CFunction>([](lua_State* L) -> int {
                 lua_newuserdata(L, 0xFFFFFFFDu);
                 return 0;
             }),
             static_cast<lua_CFunction>([](lua_State* L) -> int {
                 lua_newuserdata(L, static_cast<size_t>(-1));
                 return 0;
             }),
             static_cast<lua_CFunction>([](lua_State* L) -> int {
                 lua_pushlstring(L, "x", 0xFFFFFFFFu);
                 return 0;
             }),
             static_cast<lua_CFunction>([](lua_State* L) -> int {
                 lua_pushlwstring(L, u"x", 0x7FFFFFFFu);
                 return 0;
             }),
         }) {
        lua_pushcfunction(L, f);
        EXPECT_EQ(lua_pcall(L, 0, 0, 0), LUA_ERRRUN);
        EXPECT_STREQ(lua_tostring(L, -1), "memory allocation error: block too big");
        lua_settop(L, 0);
    }
    // Just under the limit the request reaches the allocator, which may refuse it.
    lua_close(L);
}

TEST(LuaMemoryTest, RefusedAllocationIsAMemoryError) {
    Budget budget;
    lua_State* L = lua_newstate(BudgetAlloc, &budget);
    ASSERT_NE(L, nullptr);
    budget.limit = budget.used + 4096;
    lua_pushcfunction(L, [](lua_State* L) -> int {
        lua_newtable(L);
        for (int i = 1;; i++) {
            lua_pushnumber(L, i);
            lua_rawseti(L, -2, i);
        }
    });
    lua_pushcfunction(L, AddPrefix);  // never called for memory errors
    lua_insert(L, 1);
    EXPECT_EQ(lua_pcall(L, 0, 0, 1), LUA_ERRMEM);
    EXPECT_STREQ(lua_tostring(L, -1), "not enough memory");
    budget.limit = static_cast<size_t>(-1);
    lua_close(L);
    EXPECT_EQ(budget.used, 0u);
}

TEST(LuaMemoryTest, StateCreationSurvivesEveryRefusal) {
    for (size_t limit = 0; limit < 12000; limit += 64) {
        Budget budget;
        budget.limit = limit;
        lua_State* L = lua_newstate(BudgetAlloc, &budget);
        if (L != nullptr) {
            budget.limit = static_cast<size_t>(-1);
            lua_close(L);
        }
        EXPECT_EQ(budget.used, 0u) << limit;
    }
}

TEST(LuaPanicTest, UnprotectedErrorExitsWithStatusOne) {
    EXPECT_EXIT(
        {
            lua_State* L = lua_open();
            lua_pushstring(L, "unprotected");
            lua_error(L);
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EXIT(
        {
            lua_State* L = lua_open();
            lua_atpanic(L, [](lua_State* L) -> int {
                fprintf(stderr, "panic: %s\n", lua_tostring(L, -1));
                return 0;
            });
            lua_pushnil(L);
            lua_pushstring(L, "k");
            lua_gettable(L, -2);
        },
        ::testing::ExitedWithCode(1), "panic: attempt to index a nil value");
}

}  // namespace
