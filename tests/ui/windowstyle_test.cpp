#include "ui/windowstyle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "luatables.h"
#include "script/luaobjectwrapper.h"
#include "support/logcapture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WindowStyleTest : public ::testing::Test {
protected:
    // A style over the table of the expression, kept alive with the test.
    TWindowStyle& Style(const std::string& expression) {
        mTable = mLua.Table(expression);
        mStyle = std::make_unique<TWindowStyle>(mTable.get());
        return *mStyle;
    }
    std::string Text(TLuaObjectWrapper* wrapper) {
        lua_State* L = mLua.State();
        wrapper->PushObject();
        std::string text =
            lua_isstring(L, -1) ? lua_tostring(L, -1) : lua_typename(L, lua_type(L, -1));
        lua_pop(L, 1);
        return text;
    }

    testing_support::LogCapture mLog;
    uitest::TLuaTables mLua;
    std::unique_ptr<TLuaTable> mTable;
    std::unique_ptr<TWindowStyle> mStyle;
};

TEST_F(WindowStyleTest, TheWindowTableFirstThenTheDefaultStyleChain) {
    mLua.Run(
        "grandparent = { font = 'serif', fit = true, size = 3 }\n"
        "gCurrentDefaultStyle = { fit = true, size = 2, parent = grandparent }\n");
    TWindowStyle& style = Style("{ fit = false, own = 1, parent = { hidden = 5 } }");
    // false is found in the window's table and does not fall back.
    EXPECT_FALSE(style.GetBool("fit", true));
    EXPECT_EQ(style.GetInt("own", 0), 1);
    EXPECT_EQ(style.GetInt("size", 0), 2);
    EXPECT_EQ(style.GetString("font", "none"), str("serif"));
    // The window table's own "parent" is never consulted.
    EXPECT_EQ(style.GetInt("hidden", -1), -1);
    EXPECT_EQ(style.GetInt("missing", 42), 42);

    // Without a default style only the window's table counts.
    mLua.Run("gCurrentDefaultStyle = nil");
    EXPECT_EQ(style.GetInt("size", -1), -1);
    mLua.Run("gCurrentDefaultStyle = 'not a table'");
    EXPECT_EQ(style.GetInt("size", -1), -1);
    // A "parent" that is no table ends the chain quietly.
    mLua.Run("gCurrentDefaultStyle = { parent = 7 }");
    EXPECT_EQ(style.GetInt("size", -1), -1);
    EXPECT_THAT(mLog.Messages(), IsEmpty());
}

TEST_F(WindowStyleTest, ConversionsOfTheValueFound) {
    TWindowStyle& style = Style(
        "{ red = { 1, 0, 0 }, full = { 0.5, 0.25, 1, 0.75, 9 }, half = -0.5, trunc = -2.9,"
        "  twelve = '12', word = 'true', number = 7, text = 'hello', flag = 1, zero = 0,"
        "  colourText = 'red', tableText = {} }");
    TVec4 fallback{0.1f, 0.2f, 0.3f, 0.4f};
    TVec4 red = style.GetColor("red", fallback);
    EXPECT_EQ(red.x, 1.0f);
    EXPECT_EQ(red.y, 0.0f);
    EXPECT_EQ(red.z, 0.0f);
    EXPECT_EQ(red.w, 0.0f);
    TVec4 full = style.GetColor("full", fallback);
    EXPECT_EQ(full.x, 0.5f);
    EXPECT_EQ(full.w, 0.75f);
    // A colour that is no table answers the default colour.
    TVec4 text = style.GetColor("colourText", fallback);
    EXPECT_EQ(text.x, 0.1f);
    EXPECT_EQ(text.w, 0.4f);
    EXPECT_EQ(style.GetColor("missing", fallback).z, 0.3f);

    EXPECT_EQ(style.GetInt("half", 9), 0);
    EXPECT_EQ(style.GetInt("trunc", 9), -2);
    EXPECT_EQ(style.GetNumber("twelve", 0), 12.0);
    EXPECT_EQ(style.GetNumber("text", 5), 0.0);
    EXPECT_EQ(style.GetInt("missing", -7), -7);
    EXPECT_EQ(style.GetString("number", ""), str("7"));
    EXPECT_EQ(style.GetString("tableText", "x"), str());
    EXPECT_TRUE(style.GetBool("flag", false));
    EXPECT_FALSE(style.GetBool("zero", true));
    EXPECT_THAT(mLog.Messages(), IsEmpty());
    EXPECT_FALSE(style.GetBool("word", true));
    EXPECT_THAT(mLog.Messages(), ElementsAre("PopBool used on lua string true"));
    mLog.Clear();
    EXPECT_FALSE(style.GetBool("red", true));
    EXPECT_THAT(
        mLog.Messages(),
        ElementsAre("PopBool used on a type that isn't a number, a boolean, or nil. (type: 5)"));
}

TEST_F(WindowStyleTest, TablesAndFunctionsAreWrappedAsFound) {
    TWindowStyle& style = Style("{ command = function() return 1 end, sub = { 1 }, number = 3 }");
    std::unique_ptr<TLuaFunction> command(style.GetFunction("command"));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(Text(command.get()), "function");
    std::unique_ptr<TLuaTable> sub(style.GetTable("sub"));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->GetNumberAt(1, 0), 1.0);
    // Whatever the value is, it is wrapped.
    std::unique_ptr<TLuaTable> number(style.GetTable("number"));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(Text(number.get()), "3");
    EXPECT_EQ(style.GetTable("missing"), nullptr);
    EXPECT_EQ(style.GetFunction("missing"), nullptr);
}

TEST_F(WindowStyleTest, ParentChainsAreBounded) {
    // A cycle of three styles: a missing key is not found, and the lookup ends.
    mLua.Run(
        "local a, b, c = { one = 1 }, { two = 2 }, { three = 3 }\n"
        "a.parent = b b.parent = c c.parent = a\n"
        "gCurrentDefaultStyle = a\n");
    TWindowStyle& style = Style("{}");
    EXPECT_EQ(style.GetInt("three", 0), 3);
    EXPECT_EQ(style.GetInt("missing", -1), -1);
    EXPECT_EQ(style.GetString("missing", "default"), str("default"));
    TVec4 colour = style.GetColor("missing", TVec4{0.5f, 0.5f, 0.5f, 1});
    EXPECT_EQ(colour.w, 1.0f);

    // A straight chain: the default style and 32 "parent" links are searched, no further.
    mLua.Run(
        "local style = {}\n"
        "gCurrentDefaultStyle = style\n"
        "for i = 1, 33 do\n"
        "  local next = {} style.parent = next style = next\n"
        "  next['link' .. i] = i\n"
        "end\n");
    EXPECT_EQ(style.GetInt("link32", -1), 32);
    EXPECT_EQ(style.GetInt("link33", -1), -1);
}

TEST_F(WindowStyleTest, AWindowValueThatIsNoTableReadsTheGlobals) {
    mLua.Run("size = 11");
    TWindowStyle& style = Style("'not a table'");
    EXPECT_EQ(style.GetInt("size", 0), 11);
    EXPECT_EQ(style.GetInt("other", 4), 4);
    TWindowStyle none(nullptr);
    EXPECT_EQ(none.GetInt("size", 6), 6);
    EXPECT_EQ(none.GetTable("size"), nullptr);
}

TEST_F(WindowStyleTest, EveryGetterLeavesTheStackAsItFoundIt) {
    const char* values[] = {"nil",
                            "true",
                            "false",
                            "0",
                            "2.5",
                            "'text'",
                            "'12'",
                            "{ 1, 2, 3 }",
                            "function() end",
                            "L\"w\"",
                            "coroutine and coroutine.create(function() end) or nil"};
    lua_State* L = mLua.State();
    mLua.Run("gCurrentDefaultStyle = { parent = { deep = 1 } }");
    for (const char* value : values) {
        TWindowStyle& style = Style(std::string("{ key = ") + value + " }");
        lua_pushliteral(L, "below");
        for (const char* key : {"key", "deep", "missing"}) {
            style.GetNumber(key, 1);
            style.GetInt(key, 1);
            style.GetString(key, "x");
            style.GetColor(key, TVec4{});
            style.GetBool(key, true);
            delete style.GetTable(key);
            delete style.GetFunction(key);
            EXPECT_EQ(lua_gettop(L), 1) << value << " " << key;
        }
        lua_settop(L, 0);
    }
}

}  // namespace
