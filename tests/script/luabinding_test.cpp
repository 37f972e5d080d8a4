#include "script/luabinding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "luascript.h"
#include "script/luaobjectwrapper.h"
#include "script/script.h"
#include "support/logcapture.h"
#include "support/printers.h"

namespace {

// Records what its member functions receive.
class Probe {
public:
    int Add(int a, int b) { return a + b; }
    short Echo(short s) { return s; }
    float Half(float f) { return f / 2; }
    double Twice(double d) const { return d * 2; }
    bool Not(bool b) { return !b; }
    str Join(str a, const str& b) { return a + "|" + b; }
    void Take(int i, short s, float f, double d, bool b, str t) {
        ++calls;
        seen = str::Format("%d %d %g %g %d '%s'", i, s, f, d, b ? 1 : 0, t.c_str());
    }
    void Nothing() { ++calls; }
    // The table's first element and its field "name", while the call lasts.
    str Read(TLuaTable* table) {
        kept = table;
        return table->GetStringAt(1, "-") + "," + str::Format("%g", table->GetNumber("n", -1));
    }

    int calls = 0;
    str seen;
    TLuaTable* kept = nullptr;
};

// A second base puts Probe's members behind a this-adjustment.
class Other {
public:
    virtual ~Other() = default;
    int pad = 7;
};
class Derived : public Other, public Probe {};

int Triple(int v) {
    return 3 * v;
}
str gLastText;
void Remember(str text) {
    gLastText = text;
}

class LuaBindingTest : public ::testing::Test {
protected:
    std::string Run(const std::string& code) { return RunLuaChunk(mScript.GetState(), code); }
    lua_State* State() { return mScript.GetState(); }

    TScript mScript;
    Probe mProbe;
};

TEST_F(LuaBindingTest, ConversionsOfArgumentsAndResults) {
    lua_State* L = State();
    LuaBindMember(L, "Add", &mProbe, &Probe::Add);
    LuaBindMember(L, "Echo", &mProbe, &Probe::Echo);
    LuaBindMember(L, "Half", &mProbe, &Probe::Half);
    LuaBindMember(L, "Twice", &mProbe, &Probe::Twice);
    LuaBindMember(L, "Not", &mProbe, &Probe::Not);
    LuaBindMember(L, "Join", &mProbe, &Probe::Join);
    LuaBindFunction(L, "Triple", &Triple);
    const LuaCase cases[] = {
        {"return Add(2, 3)", "5"},
        {"return Add(2.9, -2.9)", "0"},  // each truncated toward zero: 2 + -2
        {"return Add(2.9), Add(-2.9)", "2, -2"},
        {"return Add('7', '0x10')", "7"},        // text that reads as a number; the rest is 0
        {"return Add(0/0, 1e300)", "0"},         // NaN and numbers beyond 64 bits give 0
        {"return Add(4294967296 + 5, 0)", "5"},  // the low 32 bits of the 64-bit value
        {"return Add()", "0"},
        {"return Echo(70000), Echo(-1), Echo(32768)", "4464, -1, -32768"},  // low 16 bits
        {"return Half(3), Half()", "1.5, 0"},
        {"return Twice(0.1)", "0.2"},
        {"return Not(nil), Not(false), Not(0), Not('')", "true, true, false, false"},
        {"return Not()", "true"},
        {"return Join('a', 'b'), Join(1.5, 2)", "a|b, 1.5|2"},
        {"return Join(), Join({}, L\"wide\")", "|, |"},
        {"return Triple(14)", "42"},
    };
    for (const LuaCase& c : cases)
        EXPECT_EQ(Run(c.code), c.result) << c.code;
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaBindingTest, MissingArgumentsGiveZeroFalseAndEmpty) {
    LuaBindMember(State(), "Take", &mProbe, &Probe::Take);
    LuaBindMember(State(), "Nothing", &mProbe, &Probe::Nothing);
    EXPECT_EQ(Run("return Take(-3.5, 65537, 0.25, 1e10, 1, 'x')"), "");  // no result
    EXPECT_EQ(mProbe.seen, str("-3 1 0.25 1e+10 1 'x'"));
    EXPECT_EQ(Run("Take()"), "");
    EXPECT_EQ(mProbe.seen, str("0 0 0 0 0 ''"));
    EXPECT_EQ(Run("Take(1, 2)"), "");
    EXPECT_EQ(mProbe.seen, str("1 2 0 0 0 ''"));
    EXPECT_EQ(Run("Nothing(1, 2, 3)"), "");
    EXPECT_EQ(mProbe.calls, 4);
}

TEST_F(LuaBindingTest, MemberOfASecondBaseGetsItsOwnObject) {
    Derived derived;
    LuaBindMember(State(), "Take", &derived, &Probe::Take);
    LuaBindMember(State(), "Add", &derived, &Derived::Add);
    EXPECT_EQ(Run("Take(5) return Add(1, 1)"), "2");
    EXPECT_EQ(derived.seen, str("5 0 0 0 0 ''"));
    EXPECT_EQ(derived.pad, 7);
}

TEST_F(LuaBindingTest, FreeFunctionWithText) {
    LuaBindFunction(State(), "Remember", &Remember);
    EXPECT_EQ(Run("Remember('hello')"), "");
    EXPECT_EQ(gLastText, str("hello"));
    EXPECT_EQ(Run("Remember(12)"), "");
    EXPECT_EQ(gLastText, str("12"));
}

TEST_F(LuaBindingTest, UnbindingLeavesKeptCopiesHarmless) {
    lua_State* L = State();
    auto probe = std::make_unique<Probe>();
    int ref = LuaBindMember(L, "Add", probe.get(), &Probe::Add);
    EXPECT_EQ(Run("kept = Add return Add(1, 2)"), "3");

    LuaUnbind(L, "Add", ref);
    probe.reset();
    EXPECT_EQ(Run("return Add"), "nil");
    EXPECT_EQ(Run("return Add(1, 2)"), "error: test:1: attempt to call global `Add' (a nil value)");
    EXPECT_EQ(Run("return kept(1, 2)"),
              "error: test:1: call of a native function that is no longer bound");
    EXPECT_EQ(Run("return pcall(kept)"),
              "false, call of a native function that is no longer bound");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaBindingTest, UnbindingClearsTheGlobalWhateverItHolds) {
    lua_State* L = State();
    int ref = LuaBindMember(L, "Add", &mProbe, &Probe::Add);
    EXPECT_EQ(Run("kept = Add Add = 'replaced'"), "");
    LuaUnbind(L, "Add", ref);
    EXPECT_EQ(Run("return Add"), "nil");
    EXPECT_EQ(Run("return pcall(kept, 1, 2)"),
              "false, call of a native function that is no longer bound");
}

TEST_F(LuaBindingTest, OwnerBindingsUnbindWithTheOwner) {
    {
        TLuaBindings bindings(&mScript);
        bindings.Bind("Add", &mProbe, &Probe::Add);
        bindings.Bind("Twice", &mProbe, &Probe::Twice);
        bindings.BindFunction("Triple", &Triple);
        EXPECT_EQ(Run("keep = Twice return Add(1, 1), Twice(2), Triple(3)"), "2, 4, 9");
    }
    EXPECT_EQ(Run("return Add, Twice, Triple"), "nil, nil, nil");
    EXPECT_EQ(Run("return pcall(keep, 1)"),
              "false, call of a native function that is no longer bound");

    // Without a script, or once it is gone, there is nothing to do.
    TLuaBindings none(nullptr);
    none.Bind("Add", &mProbe, &Probe::Add);
    auto doomed = std::make_unique<TScript>();
    TLuaBindings late(doomed.get());
    late.Bind("Add", &mProbe, &Probe::Add);
    EXPECT_EQ(RunLuaChunk(doomed->GetState(), "return Add(2, 2)"), "4");
    doomed.reset();
    late.UnbindAll();
}

TEST_F(LuaBindingTest, TableArgumentsLiveUntilTheNextRun) {
    LuaBindMember(State(), "Read", &mProbe, &Probe::Read);
    EXPECT_EQ(Run("return Read({'first', n = 3})"), "first,3");
    // Not a table: the wrapper answers defaults.
    EXPECT_EQ(Run("return Read(5), Read()"), "-,-1, -,-1");

    // The last wrapper stays valid after the call, until the script runs or resumes again.
    EXPECT_EQ(Run("return Read({'kept'})"), "kept,-1");
    ASSERT_NE(mProbe.kept, nullptr);
    EXPECT_EQ(mProbe.kept->GetStringAt(1, ""), str("kept"));
    lua_pushnil(State());
    mScript.RunFunction(0, 0);  // calling nil fails, but the temporaries go first
    lua_settop(State(), 0);
}

TEST(LuaBindingNoScript, TableArgumentsDieWithTheCall) {
    // A state no TScript made: the wrappers have no owner and go when the call returns, also
    // when it fails (the leak checker of the sanitizer build watches this).
    lua_State* L = lua_open();
    luaopen_base(L);
    Probe probe;
    LuaBindMember(L, "Read", &probe, &Probe::Read);
    EXPECT_EQ(RunLuaChunk(L, "return Read({'a', n = 1})"), "a,1");
    lua_register(L, "Fail", [](lua_State* L) -> int { return luaL_error(L, "inside"); });
    LuaBindFunction(
        L, "Call", +[](TLuaTable* t) {
            t->PushField("f");
            lua_call(t->GetState(), 0, 0);
        });
    EXPECT_EQ(RunLuaChunk(L, "return Call({f = Fail})"), "error: inside");
    lua_close(L);
}

TEST_F(LuaBindingTest, StrConversions) {
    lua_State* L = State();
    lua_pushstring(L, "text");
    lua_pushnumber(L, 2.5);
    lua_pushboolean(L, 1);
    lua_newtable(L);
    lua_pushwstring(L, u"wide");
    EXPECT_EQ(LuaToStr(L, 1), str("text"));
    EXPECT_EQ(LuaToStr(L, 2), str("2.5"));
    EXPECT_EQ(LuaToStr(L, 3), str());
    EXPECT_EQ(LuaToStr(L, 4), str());
    EXPECT_EQ(LuaToStr(L, 5), str());
    EXPECT_EQ(LuaToStr(L, 9), str());
    lua_settop(L, 0);
    PushLuaStr(L, "back");
    PushLuaStr(L, str());
    EXPECT_EQ(LuaValueText(L, 1), "back");
    EXPECT_EQ(LuaValueText(L, 2), "");
    lua_settop(L, 0);
}

}  // namespace

namespace {

TEST_F(LuaBindingTest, UnbindingIfOwnLeavesANewerBindingOfTheName) {
    lua_State* L = State();
    Probe older;
    Probe newer;
    int olderRef = LuaBindMember(L, "Add", &older, &Probe::Add);
    EXPECT_EQ(Run("keptOlder = Add"), "");
    int newerRef = LuaBindMember(L, "Add", &newer, &Probe::Twice);
    EXPECT_EQ(Run("return Add(4)"), "8");

    // The older owner goes: the newer global keeps working, the older closure is dead.
    LuaUnbindIfOwn(L, "Add", olderRef);
    EXPECT_EQ(Run("return Add(4)"), "8");
    EXPECT_EQ(Run("return pcall(keptOlder, 1, 2)"),
              "false, call of a native function that is no longer bound");

    // The newer owner goes: its global is cleared.
    LuaUnbindIfOwn(L, "Add", newerRef);
    EXPECT_EQ(Run("return Add"), "nil");

    // A global replaced by a script's own value is left as it is.
    int ref = LuaBindMember(L, "Add", &older, &Probe::Add);
    EXPECT_EQ(Run("Add = 'mine'"), "");
    LuaUnbindIfOwn(L, "Add", ref);
    EXPECT_EQ(Run("return Add"), "mine");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(LuaBindingTest, OwnerBindingsUnbindIfOwn) {
    Probe older;
    Probe newer;
    auto first = std::make_unique<TLuaBindings>(&mScript);
    first->Bind("Add", &older, &Probe::Add);
    first->BindFunction("Triple", &Triple);
    EXPECT_EQ(Run("keep = Add"), "");
    TLuaBindings second(&mScript);
    second.Bind("Add", &newer, &Probe::Add);

    first->UnbindAllIfOwn();
    first.reset();  // unbinding again finds nothing left
    EXPECT_EQ(Run("return Add(1, 2), Triple"), "3, nil");
    EXPECT_EQ(Run("return pcall(keep, 1, 2)"),
              "false, call of a native function that is no longer bound");
    second.UnbindAllIfOwn();
    EXPECT_EQ(Run("return Add"), "nil");
}

// Takes its arguments itself: answers their count and the first doubled.
class StackProbe {
public:
    int Count(lua_State* L) {
        int count = lua_gettop(L);
        lua_pushnumber(L, count);
        lua_pushnumber(L, 2 * lua_tonumber(L, 1));
        return 2;
    }
};

TEST_F(LuaBindingTest, StackMembersManageTheirOwnStack) {
    StackProbe probe;
    {
        TLuaBindings bindings(&mScript);
        bindings.BindStack("Count", &probe, &StackProbe::Count);
        EXPECT_EQ(Run("keep = Count return Count(5, 'x', nil)"), "3, 10");
        EXPECT_EQ(Run("return Count()"), "0, 0");
    }
    EXPECT_EQ(Run("return Count, pcall(keep)"),
              "nil, false, call of a native function that is no longer bound");
}

TEST_F(LuaBindingTest, TableArgumentsOfACoroutineLiveInTheScriptsOwnState) {
    LuaBindMember(State(), "Read", &mProbe, &Probe::Read);
    EXPECT_EQ(Run("local c = coroutine.create(function() return Read({'inner'}) end) "
                  "return coroutine.resume(c)"),
              "true, inner,-1");
    ASSERT_NE(mProbe.kept, nullptr);
    // The coroutine is gone; the wrapper, held in the main thread, still reads its table.
    EXPECT_EQ(Run("collectgarbage()"), "");
    EXPECT_EQ(mProbe.kept->GetState(), State());
    EXPECT_EQ(mProbe.kept->GetStringAt(1, ""), str("inner"));
}

TEST_F(LuaBindingTest, FunctionsCalledWithTheAlertHandler) {
    testing_support::LogCapture log;
    lua_State* L = State();
    EXPECT_EQ(Run("function f() called = (called or 0) + 1 return 'dropped' end "
                  "function g() error('broken', 0) end"),
              "");
    for (const char* name : {"f", "g", "nothing"}) {
        lua_pushstring(L, name);
        lua_gettable(L, LUA_GLOBALSINDEX);
        TLuaFunction function(L);
        function.Call();
    }
    // A text is no function: nothing is called.
    lua_pushstring(L, "f");
    TLuaFunction text(L);
    EXPECT_EQ(text.Call(), 0);
    EXPECT_EQ(Run("return called"), "1");
    EXPECT_THAT(log.Messages(), ::testing::ElementsAre("Lua error: broken"));
    EXPECT_EQ(lua_gettop(L), 0);
}

}  // namespace
