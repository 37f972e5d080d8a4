#include "ui/luamessage.h"

#include <gtest/gtest.h>

#include <memory>

#include "script/lua/lua.h"
#include "script/luascript.h"
#include "script/script.h"
#include "testwindows.h"

namespace {

using uitest::TTestMessage;

class LuaMessageTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterMessageMetatable(L); }
    void TearDown() override {
        mScript.reset();
        EXPECT_EQ(TTestMessage::sLive, 0);
    }
    std::string Run(const std::string& code) { return RunLuaChunk(L, code); }
    // The message as the global of that name.
    void SetGlobal(const char* name, TMessage* message) {
        lua_pushstring(L, name);
        PushLuaMessage(L, message);
        lua_settable(L, LUA_GLOBALSINDEX);
    }

    std::unique_ptr<TScript> mScript = std::make_unique<TScript>();
    lua_State* L = mScript->GetState();
};

TEST_F(LuaMessageTest, ScriptsReadTheTypeAndTheNameOnly) {
    SetGlobal("m", new TTestMessage(TMessage::kButtonPress, "ok"));
    EXPECT_EQ(Run("return m.type, m.name, m.target, m.other, m[1]"), "3, ok, nil, nil, nil");
    EXPECT_EQ(Run("return type(m)"), "userdata");
    // Nothing for a nil message; one nil for any other key.
    EXPECT_EQ(Run("local index = getmetatable(m).__index\n"
                  "local function count(...) return arg.n end\n"
                  "return count(index(nil, 'type')), count(index(m, 'target'))"),
              "0, 1");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaMessageTest, TheCollectorDeletesAMessageOnce) {
    SetGlobal("m", new TTestMessage("gone"));
    EXPECT_EQ(TTestMessage::sLive, 1);
    EXPECT_EQ(Run("m = nil collectgarbage()"), "");
    EXPECT_EQ(TTestMessage::sLive, 0);

    // A script that calls the finaliser itself deletes it, once; the userdata is no message
    // from then on.
    SetGlobal("m", new TTestMessage("early"));
    EXPECT_EQ(Run("local gc = getmetatable(m).__gc gc(m) gc(m) return m.type"), "nil");
    EXPECT_EQ(TTestMessage::sLive, 0);
    EXPECT_EQ(Run("m = nil collectgarbage()"), "");
}

TEST_F(LuaMessageTest, OnlyLuaMessagesAreMessages) {
    auto* message = new TTestMessage("real");
    PushLuaMessage(L, message);
    lua_pushnil(L);
    lua_pushstring(L, "text");
    lua_newuserdata(L, 16);
    lua_pushpointer(L, message);
    lua_pushlightuserdata(L, message);
    EXPECT_EQ(GetLuaMessage(L, 1), message);
    for (int index = 2; index <= 7; ++index)
        EXPECT_EQ(GetLuaMessage(L, index), nullptr) << index;
    lua_settop(L, 0);
}

TEST_F(LuaMessageTest, AWrapperStandsForTheScriptsMessage) {
    auto* made = new TTestMessage(TMessage::kUserMessageBase + 2, "made");
    SetGlobal("m", made);
    lua_pushstring(L, "m");
    lua_gettable(L, LUA_GLOBALSINDEX);
    auto* wrapper = new TLuaMessageWrapper(L);
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_EQ(wrapper->GetType(), 1002);
    EXPECT_EQ(wrapper->GetName(), str("made"));
    EXPECT_EQ(wrapper->GetWrapped(), made);
    EXPECT_EQ(Unwrapped(wrapper), made);
    EXPECT_TRUE(wrapper->IsKindOf(TLuaMessageWrapper::TypeId()));
    EXPECT_TRUE(wrapper->IsKindOf(TMessage::TypeId()));
    EXPECT_FALSE(made->IsKindOf(TLuaMessageWrapper::TypeId()));
    EXPECT_STREQ(wrapper->GetClassName(), "TLuaMessageWrapper");

    // The wrapper keeps the script's message alive.
    EXPECT_EQ(Run("m = nil collectgarbage()"), "");
    EXPECT_EQ(TTestMessage::sLive, 1);
    wrapper->PushLuaValue();
    EXPECT_EQ(GetLuaMessage(L, -1), made);
    lua_settop(L, 0);
    delete wrapper;
    EXPECT_EQ(TTestMessage::sLive, 1);
    EXPECT_EQ(Run("collectgarbage()"), "");
    EXPECT_EQ(TTestMessage::sLive, 0);

    // A value that is no message: a generic message without a name, standing for itself.
    lua_pushnumber(L, 5);
    TLuaMessageWrapper odd(L);
    EXPECT_EQ(odd.GetType(), TMessage::kGeneric);
    EXPECT_EQ(odd.GetWrapped(), nullptr);
    EXPECT_EQ(Unwrapped(&odd), &odd);
}

}  // namespace
