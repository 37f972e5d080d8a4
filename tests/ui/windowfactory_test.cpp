// The window factory: dialog tables become windows by type name, under the current window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/luatable.h"
#include "scriptfixture.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WindowFactoryTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        mDialog = Push("dialog", {0, 0, 400, 300});
    }
    // The names of the window's children, newest first, with their own children in brackets.
    static std::string Tree(const TWindow* window) {
        std::string text = window->GetName().c_str();
        if (window->GetFirstChild() == nullptr) return text;
        text += "(";
        for (const TWindow* child = window->GetFirstChild(); child != nullptr;
             child = child->GetNextSibling()) {
            if (child != window->GetFirstChild()) text += " ";
            text += Tree(child);
        }
        return text + ")";
    }

    TTestModal* mDialog = nullptr;
};

TEST_F(WindowFactoryTest, NestedTablesBuildTheTree) {
    EXPECT_EQ(Run("Created{ name = 'outer', x = 10, y = 20, w = 300, h = 200,\n"
                  "  Created{ name = 'inner', x = 80000, w = 50, h = 40,\n"
                  "    Created{ name = 'leaf', w = 7, h = 9 } },\n"
                  "  Window{ name = 'plain', w = 30, h = 10 } }()"),
              "");
    EXPECT_EQ(Tree(mDialog), "dialog(outer(plain inner(leaf)))");
    // Each window is initialised from its table, and finished after its children.
    EXPECT_THAT(Entries("init"), ElementsAre("outer.init", "inner.init", "leaf.init",
                                             "leaf.postinit", "inner.postinit", "outer.postinit"));
    TWindow* outer = mDialog->FindChild("outer");
    EXPECT_EQ(outer->GetRect(), (TRect{10, 20, 310, 220}));
    EXPECT_EQ(outer->FindChild("inner")->GetRect(), (TRect{125, 0, 175, 40}));
    EXPECT_STREQ(outer->FindChild("plain")->GetClassName(), "TWindow");
    // The size of the last window made.
    EXPECT_EQ(Global("gDialogWidth"), "30");
    EXPECT_EQ(Global("gDialogHeight"), "10");
    // Every window popped itself again.
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog));
}

TEST_F(WindowFactoryTest, RegisteredTypesRunTheCreatingHookAndMarkTheTable) {
    ASSERT_EQ(Run("function Creating(typeName, t) seen = typeName .. ':' .. t.name end\n"
                  "t = { name = 'marked' }\n"
                  "maker = Created(t)"),
              "");
    EXPECT_EQ(Global("seen"), "Created:marked");
    EXPECT_EQ(Run("return t.typename, type(maker)"), "Created, function");
    // Nothing is made until the function runs.
    EXPECT_EQ(TCreatedWindow::sLive, 0);
    EXPECT_EQ(Run("maker()"), "");
    EXPECT_EQ(Tree(mDialog), "dialog(marked)");
}

TEST_F(WindowFactoryTest, UnknownTypesAndClassesThatCannotBeCreatedMakeNothing) {
    // A class whose id is no creator.
    mManager->RegisterWindowType("Modal", TModalWindow::TypeId());
    EXPECT_EQ(Run("GenericCreate({ typename = 'Nowhere', w = 5 })\n"
                  "GenericCreate({ w = 5 })\n"
                  "GenericCreate('not a table')\n"
                  "GenericCreate()\n"
                  "Modal{ w = 5 }()"),
              "");
    EXPECT_EQ(Tree(mDialog), "dialog");
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog));
}

TEST_F(WindowFactoryTest, AWindowThatRefusesToBeAddedIsDeleted) {
    TCreatedWindow::sRefuse = true;
    EXPECT_EQ(Run("Created{ w = 5, h = 5 }()"), "");
    EXPECT_EQ(TCreatedWindow::sLive, 0);
    EXPECT_THAT(Entries("activate"), ElementsAre(".activate"));
    EXPECT_THAT(Entries("init"), IsEmpty());
    EXPECT_EQ(Tree(mDialog), "dialog");
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog));
}

TEST_F(WindowFactoryTest, ALaterDefinitionReplacesTheCreator) {
    mManager->RegisterWindowType("Thing", TWindow::TypeId());
    mManager->RegisterWindowType("Thing", TCreatedWindow::TypeId());
    EXPECT_EQ(mScript->GetWindowType("Thing"), TCreatedWindow::TypeId());
    EXPECT_EQ(mScript->GetWindowType("Other"), nullptr);
    EXPECT_EQ(Run("Thing{ name = 'thing' }()"), "");
    EXPECT_STREQ(mDialog->FindChild("thing")->GetClassName(), "TCreatedWindow");
}

TEST_F(WindowFactoryTest, TheCreationListenerHearsOfEachWindowWithItsTable) {
    class TListener : public TWindowCreationListener {
    public:
        void OnWindowCreated(TWindow* window, TWindowStyle& style) override {
            seen.push_back(std::string(window->GetName().c_str()) + ":" +
                           style.GetString("note", "-").c_str());
            inScriptState = style.GetLuaTable()->GetState() == state;
        }
        std::vector<std::string> seen;
        lua_State* state = nullptr;
        bool inScriptState = false;
    } listener;
    listener.state = L;
    mScript->SetCreationListener(&listener);
    // Made from a coroutine of the script's own: the table is held in the script's state.
    EXPECT_EQ(Run("local c = coroutine.create(function()\n"
                  "  Created{ name = 'a', note = 'first', Window{ name = 'b' } }() end)\n"
                  "return coroutine.resume(c)"),
              "true");
    EXPECT_THAT(listener.seen, ElementsAre("a:first", "b:-"));
    EXPECT_TRUE(listener.inScriptState);
    mScript->SetCreationListener(nullptr);
}

TEST_F(WindowFactoryTest, WithoutACurrentWindowNothingIsAttached) {
    mScript->ResetWindowStack(nullptr);
    EXPECT_EQ(Run("Created{ name = 'lost' }()"), "");
    EXPECT_EQ(TCreatedWindow::sLive, 0);
    EXPECT_EQ(Tree(mDialog), "dialog");
}

TEST_F(WindowFactoryTest, TheCurrentWindowStack) {
    TTestWindow* panel = Add(mDialog, {0, 0, 10, 10}, "panel");
    // A stack of one keeps its window.
    EXPECT_EQ(Run("PopWindow() PopWindow()"), "");
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog));

    mScript->PushCurrentWindow(panel);
    EXPECT_EQ(mScript->GetCurrentWindow(), panel);
    EXPECT_EQ(Run("Created{ name = 'inside' }()"), "");
    EXPECT_EQ(Tree(mDialog), "dialog(panel(inside))");
    EXPECT_EQ(Run("PopWindow()"), "");
    EXPECT_EQ(mScript->GetCurrentWindow(), mDialog);

    // A window that goes leaves a null entry: the stack keeps its depth.
    mScript->PushCurrentWindow(panel);
    mDialog->RemoveChild(panel);
    delete panel;
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog, nullptr));
    EXPECT_EQ(Run("SetWindowName('x') DoFitToChildren() GenericCreate({ typename = 'Created' })"),
              "");
    EXPECT_EQ(Tree(mDialog), "dialog");
    EXPECT_EQ(Run("PopWindow()"), "");
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog));

    // The manager's modal stack resets it.
    TTestModal* front = Push("front");
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(front));
    mManager->PopModal();
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog));
}

TEST_F(WindowFactoryTest, ScriptsRunForAWindowCreateUnderIt) {
    TTestWindow* panel = Add(mDialog, {0, 0, 10, 10}, "panel");
    mManager->DoLuaStringFor(panel, "Created{ name = 'fromText' }()");
    EXPECT_EQ(Tree(mDialog), "dialog(panel(fromText))");
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog));
    // No such file: nothing runs, and the stack is as it was.
    EXPECT_FALSE(mManager->RunScriptFor(panel, "scripts/absent.lua"));
    EXPECT_THAT(mScript->GetWindowStack(), ElementsAre(mDialog));
}

}  // namespace
}  // namespace uitest
