#include "script/scriptcode.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/assetmanager.h"
#include "scriptfiles.h"

namespace {

class ScriptCodeTest : public ScriptFilesTest {
protected:
    void SetUp() override {
        ScriptFilesTest::SetUp();
        SetAssetManager(&mManager);
    }
    void TearDown() override {
        SetAssetManager(nullptr);  // before the manager goes
        ScriptFilesTest::TearDown();
    }

    // Runs the compiled chunk in the test's state; its first result as text.
    std::string RunCode(const TScriptCode& code) {
        int status = luaL_loadbuffer(L, code.GetData(), code.GetSize(), "=code");
        if (status == 0) status = lua_pcall(L, 0, 1, 0);
        std::string out = (status == 0 ? "" : "error: ") + LuaValueText(L, -1);
        lua_settop(L, 0);
        return out;
    }

    TAssetManager mManager;
};

TEST_F(ScriptCodeTest, CompilesAFileOnceWhileItIsHeld) {
    Put("scripts/s.lua", "local n = 6 return n * 7");
    Scan();
    str error = "untouched";
    std::shared_ptr<TScriptCode> code = TScriptCode::Load("scripts/s.lua", "", &error);
    ASSERT_TRUE(code);
    EXPECT_EQ(error, "untouched");
    EXPECT_STREQ(code->GetClassName(), "TScriptCode");
    EXPECT_TRUE(code->IsKindOf(TScriptCode::TypeId()));
    EXPECT_TRUE(code->IsKindOf(TAsset::TypeId()));
    std::string bytes = code->GetBytes();
    EXPECT_EQ(bytes.size(), code->GetSize());
    EXPECT_EQ(bytes.substr(0, 5), "\x1bLua\x50");
    EXPECT_NE(bytes.find('\0'), std::string::npos);  // bytes, not a text
    EXPECT_EQ(RunCode(*code), "42");

    // A second load while the first is held is the same object, even after the file changed.
    Put("scripts/s.lua", "return 'changed'");
    Scan();
    std::shared_ptr<TScriptCode> again = TScriptCode::Load("scripts/s.lua", "", nullptr);
    EXPECT_EQ(again, code);
    EXPECT_EQ(TScriptCode::FromAsset(mManager.FindAsset("scripts/s.lua")), code);

    code.reset();
    again.reset();
    std::shared_ptr<TScriptCode> fresh = TScriptCode::Load("scripts/s.lua", "", nullptr);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(RunCode(*fresh), "changed");
}

TEST_F(ScriptCodeTest, FailuresGiveTheReasonAndAreRegistered) {
    Put("scripts/bad.lua", "local x = = 1");
    Scan();
    str error;
    EXPECT_FALSE(TScriptCode::Load("scripts/bad.lua", "", &error));
    EXPECT_EQ(error, "scripts/bad.lua:1: unexpected symbol near `='");
    EXPECT_TRUE(mManager.HasEntry("scripts/bad.lua"));
    EXPECT_FALSE(TScriptCode::Load("scripts/none.lua", "", &error));
    EXPECT_EQ(error, "cannot read scripts/none.lua: No such file or directory");
    EXPECT_TRUE(mManager.HasEntry("scripts/none.lua"));
    EXPECT_FALSE(TScriptCode::Load("scripts/none.lua", "", nullptr));

    // The failure is not kept: once the file is there it compiles.
    Put("scripts/none.lua", "return 'now'");
    Scan();
    std::shared_ptr<TScriptCode> code = TScriptCode::Load("scripts/none.lua", "", nullptr);
    ASSERT_TRUE(code);
    EXPECT_EQ(RunCode(*code), "now");

    error = "untouched";
    EXPECT_FALSE(TScriptCode::Load("", "", &error));
    EXPECT_EQ(error, "untouched");
    EXPECT_FALSE(mManager.HasEntry(""));
}

TEST_F(ScriptCodeTest, AssetsOfAnotherKindAreNotTaken) {
    Put("scripts/k.lua", "return 'k'");
    Scan();
    std::shared_ptr<TAsset> other = std::make_shared<TAsset>();
    mManager.AddAsset("scripts/k.lua", other);
    EXPECT_FALSE(TScriptCode::FromAsset(other));
    EXPECT_FALSE(TScriptCode::FromAsset(nullptr));
    std::shared_ptr<TScriptCode> code = TScriptCode::Load("scripts/k.lua", "", nullptr);
    ASSERT_TRUE(code);
    EXPECT_EQ(TScriptCode::FromAsset(code), code);
    EXPECT_EQ(TScriptCode::FromAsset(mManager.FindAsset("scripts/k.lua")), code);
}

TEST_F(ScriptCodeTest, CompilesScriptsInsideArchives) {
    Pack("scripts.bvp", {{"packed/wide.lua", Utf16File(u"local s = L\"\u00E9t\u00E9\" return s")},
                         {"packed/plain.lua", "return 'packed'"}});
    Scan();
    std::shared_ptr<TScriptCode> wide = TScriptCode::Load("packed/wide.lua", "a/?;b", nullptr);
    ASSERT_TRUE(wide);
    EXPECT_EQ(RunCode(*wide), "L\"\\x{e9}t\\x{e9}\"");
    std::shared_ptr<TScriptCode> plain = TScriptCode::Load("packed/plain.lua", "it's\\", nullptr);
    ASSERT_TRUE(plain);
    EXPECT_EQ(RunCode(*plain), "packed");
}

TEST_F(ScriptCodeTest, WorksWithoutAnAssetManager) {
    SetAssetManager(nullptr);
    Put("s.lua", "return 1");
    Scan();
    std::shared_ptr<TScriptCode> first = TScriptCode::Load("s.lua", "", nullptr);
    std::shared_ptr<TScriptCode> second = TScriptCode::Load("s.lua", "", nullptr);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_NE(first, second);
    EXPECT_EQ(RunCode(*second), "1");
}

}  // namespace
