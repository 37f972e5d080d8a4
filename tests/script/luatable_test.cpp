#include "script/luatable.h"

#include <gtest/gtest.h>

#include <memory>

#include "luascript.h"
#include "script/script.h"
#include "support/printers.h"

namespace {

class LuaTableWrapperTest : public LuaScriptTest {
protected:
    // A wrapper over the value the expression gives.
    std::unique_ptr<TLuaTable> Wrap(const std::string& expression) {
        std::string code = "return " + expression;
        EXPECT_EQ(luaL_loadbuffer(L, code.data(), code.size(), "=wrap"), 0);
        EXPECT_EQ(lua_pcall(L, 0, 1, 0), 0);
        return std::make_unique<TLuaTable>(L);
    }
};

TEST_F(LuaTableWrapperTest, WrapperTakesTheValueOffTheStackAndKeepsItAlive) {
    lua_pushnumber(L, 1);
    auto table = Wrap("{ 'one', n = 2 }");
    EXPECT_EQ(lua_gettop(L), 1);
    lua_setgcthreshold(L, 0);  // a full collection: the registry keeps the table
    table->PushObject();
    EXPECT_EQ(lua_gettop(L), 2);
    EXPECT_TRUE(lua_istable(L, -1));
    lua_settop(L, 0);
    EXPECT_EQ(table->GetStringAt(1, ""), str("one"));

    // On an empty stack the wrapper holds nil.
    TLuaTable empty(L);
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_FALSE(empty.IsTable());
    EXPECT_TRUE(table->IsTable());
}

TEST_F(LuaTableWrapperTest, GettersAnswerFieldsOrDefaultsAndKeepTheStack) {
    auto table = Wrap("{ 10, '20', 'x', { 1 }, true, name = 'n', size = 4.5, text = '3e1' }");
    lua_pushliteral(L, "below");
    const int height = lua_gettop(L);

    EXPECT_EQ(table->GetNumberAt(1, -1), 10);
    EXPECT_EQ(table->GetNumberAt(2, -1), 20);  // text that reads as a number
    EXPECT_EQ(table->GetNumberAt(3, -1), -1);
    EXPECT_EQ(table->GetNumberAt(5, -1), -1);
    EXPECT_EQ(table->GetNumberAt(9, -1), -1);
    EXPECT_EQ(table->GetNumber("size", 0), 4.5);
    EXPECT_EQ(table->GetNumber("text", 0), 30);
    EXPECT_EQ(table->GetNumber("missing", 7), 7);
    EXPECT_EQ(table->GetStringAt(1, "d"), str("10"));
    EXPECT_EQ(table->GetStringAt(3, "d"), str("x"));
    EXPECT_EQ(table->GetStringAt(4, "d"), str("d"));
    EXPECT_EQ(table->GetStringAt(5, "d"), str("d"));
    EXPECT_EQ(table->GetStringAt(8, "d"), str("d"));
    EXPECT_EQ(lua_gettop(L), height);

    std::unique_ptr<TLuaTable> sub(table->GetTableAt(4));
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->GetNumberAt(1, 0), 1);
    EXPECT_EQ(table->GetTableAt(1), nullptr);
    EXPECT_EQ(table->GetTableAt(8), nullptr);
    EXPECT_EQ(lua_gettop(L), height);

    EXPECT_TRUE(table->PushField("name"));
    EXPECT_EQ(LuaValueText(L, -1), "n");
    lua_pop(L, 1);
    EXPECT_FALSE(table->PushField("none"));
    EXPECT_TRUE(table->PushFieldAt(5));
    EXPECT_EQ(LuaValueText(L, -1), "true");
    lua_pop(L, 1);
    EXPECT_FALSE(table->PushFieldAt(6));
    EXPECT_EQ(lua_gettop(L), height);
}

TEST_F(LuaTableWrapperTest, LookupsGoThroughMetamethods) {
    auto table = Wrap("setmetatable({}, { __index = function(t, k) return k .. '!' end })");
    EXPECT_EQ(table->GetStringAt(2, ""), str("2!"));
    EXPECT_TRUE(table->PushField("a"));
    EXPECT_EQ(LuaValueText(L, -1), "a!");
    lua_pop(L, 1);
}

TEST_F(LuaTableWrapperTest, ValuesThatAreNotTablesHaveNoFields) {
    // A string has a metatable of its own type; it is never indexed all the same.
    const char* const values[] = {"42", "'text'", "nil", "true", "print", "L\"wide\""};
    for (const char* value : values) {
        auto table = Wrap(value);
        EXPECT_FALSE(table->IsTable()) << value;
        EXPECT_EQ(table->GetNumberAt(1, 5), 5) << value;
        EXPECT_EQ(table->GetNumber("len", 6), 6) << value;
        EXPECT_EQ(table->GetStringAt(1, "d"), str("d")) << value;
        EXPECT_EQ(table->GetTableAt(1), nullptr) << value;
        EXPECT_FALSE(table->PushField("len")) << value;
        EXPECT_FALSE(table->PushFieldAt(1)) << value;
        TVec4 color = table->GetColor(1, {1, 2, 3, 4});
        EXPECT_EQ(color.w, 4) << value;
        EXPECT_EQ(lua_gettop(L), 0) << value;
    }
}

TEST_F(LuaTableWrapperTest, ColourOfASubTable) {
    auto table = Wrap("{ { 0.5, 0.25 }, { 1, 2, 3, 4, 5 }, 'red', { nil, 0.75 } }");
    const TVec4 fallback{0.1f, 0.2f, 0.3f, 0.4f};
    struct Case {
        double key;
        TVec4 expected;
    };
    const Case cases[] = {
        {1, {0.5f, 0.25f, 0.3f, 0.4f}},  // the default's blue and alpha
        {2, {1, 2, 3, 4}},
        {3, fallback},  // not a table
        {4, {0.1f, 0.75f, 0.3f, 0.4f}},
        {9, fallback},
    };
    for (const Case& c : cases) {
        TVec4 color = table->GetColor(c.key, fallback);
        EXPECT_EQ(color.x, c.expected.x) << c.key;
        EXPECT_EQ(color.y, c.expected.y) << c.key;
        EXPECT_EQ(color.z, c.expected.z) << c.key;
        EXPECT_EQ(color.w, c.expected.w) << c.key;
    }
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaTableWrapperTest, TwoWrappersOverOneTableAreIndependent) {
    lua_newtable(L);
    lua_pushliteral(L, "shared");
    lua_rawseti(L, -2, 1);
    lua_pushvalue(L, -1);
    auto first = std::make_unique<TLuaTable>(L);
    auto second = std::make_unique<TLuaTable>(L);
    EXPECT_EQ(lua_gettop(L), 0);

    first->PushObject();
    second->PushObject();
    EXPECT_TRUE(lua_rawequal(L, -1, -2));
    lua_settop(L, 0);

    first.reset();
    lua_setgcthreshold(L, 0);
    EXPECT_EQ(second->GetStringAt(1, ""), str("shared"));
    TLuaFunction function(L);  // nil: nothing checks the type
    function.PushObject();
    EXPECT_TRUE(lua_isnil(L, -1));
    lua_pop(L, 1);
}

TEST_F(LuaTableWrapperTest, DeleteOnResumeNeedsTheScriptThatMadeTheState) {
    // This state has no script: the caller keeps the wrapper.
    auto loose = Wrap("{}");
    EXPECT_FALSE(loose->DeleteOnResume());

    TScript script;
    lua_State* S = script.GetState();
    lua_newtable(S);
    auto* table = new TLuaTable(S);
    EXPECT_TRUE(table->DeleteOnResume());  // the script deletes it (the leak checker watches)
    EXPECT_EQ(TScript::FromState(S), &script);
    // "_SCRIPT" is the script's too, but changing it changes nothing.
    EXPECT_EQ(RunLuaChunk(S, "local s = type(_SCRIPT) _SCRIPT = nil return s"), "userdata");
    EXPECT_EQ(TScript::FromState(S), &script);
    EXPECT_EQ(TScript::FromState(L), nullptr);
}

}  // namespace
