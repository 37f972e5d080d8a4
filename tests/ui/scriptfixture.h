// The window script as the program has it (the application's, installed on the window manager of
// ManagerTest), with a few lines of Lua standing in for the window library: DoWindow and
// MakeDialog build a dialog table's windows under the current window, Creating is the hook a
// dialog may redefine, and the message queues exist. A window type that notes into the journal
// what the factory does to its windows ("name.init", "name.postinit", "name.activate"), and counts
// its live instances.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "managerfixture.h"
#include "script/lua/lua.h"
#include "script/luascript.h"
#include "ui/windowscript.h"
#include "ui/windowstyle.h"

namespace uitest {

// What the library's DoWindow and MakeDialog do for the factory.
inline const char kLibraryStandIn[] =
    "function Creating(typeName, t) end\n"
    "function DoWindow(t) GenericCreate(t) MakeDialog(t) PopWindow() end\n"
    "function MakeDialog(t)\n"
    "  if t.name and t.name ~= '' then SetWindowName(t.name) end\n"
    "  table.foreachi(t, function(i, child) child() end)\n"
    "  if t.typename then PostCreate(t, t.typename) end\n"
    "end\n";

class TCreatedWindow : public TWindow {
public:
    static inline int sLive = 0;
    static inline TJournal* sJournal = nullptr;
    // Windows made while it is set refuse their activation.
    static inline bool sRefuse = false;

    TCreatedWindow() { ++sLive; }
    ~TCreatedWindow() override { --sLive; }

    static void* Create() { return static_cast<TWindow*>(new TCreatedWindow); }
    static TClassId TypeId() { return &Create; }
    const char* GetClassName() const override { return "TCreatedWindow"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TWindow::IsKindOf(id); }

    bool OnActivate() override {
        Note("activate");
        return !sRefuse;
    }
    void Init(TWindowStyle& style) override {
        TWindow::Init(style);
        Note("init");
    }
    void PostInit(TWindowStyle& style) override {
        TWindow::PostInit(style);
        Note("postinit");
    }

private:
    void Note(const char* what) {
        if (sJournal != nullptr) sJournal->push_back(std::string(GetName().c_str()) + "." + what);
    }
};

class ScriptTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        mScript = mManager->GetScript();
        L = mScript->GetState();
        ASSERT_EQ(Run(kLibraryStandIn), "");
        TCreatedWindow::sJournal = &mJournal;
        TCreatedWindow::sRefuse = false;
        mManager->RegisterWindowType("Created", TCreatedWindow::TypeId());
    }
    void TearDown() override {
        ManagerTest::TearDown();
        TCreatedWindow::sJournal = nullptr;
        EXPECT_EQ(TCreatedWindow::sLive, 0);
    }

    // Runs the Lua text as a plain call (no coroutine): its results, or "error: " and the error.
    std::string Run(const std::string& code) { return RunLuaChunk(L, code); }
    // Starts the Lua function's body as the script's coroutine.
    void Start(const std::string& body) {
        mScript->DoLuaString(("return function() " + body + " end").c_str());
    }
    std::string Global(const char* name) { return LuaGlobalText(L, name); }

    TWindowScript* mScript = nullptr;
    lua_State* L = nullptr;
};

}  // namespace uitest
