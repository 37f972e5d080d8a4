// Messages between the window tree and the window script: made and posted in Lua, waited for in
// HandleGetMessage, and handed over by QueueMessage whatever the coroutine is doing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "script/luaobjectwrapper.h"
#include "scriptfixture.h"
#include "support/logcapture.h"
#include "ui/luamessage.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Keeps the last message it was offered (and takes it).
class TCatcher : public TTestWindow {
public:
    using TTestWindow::TTestWindow;
    bool OnMessage(TMessage* message) override {
        caught = message;
        name = message->GetName().c_str();
        return true;
    }
    TMessage* caught = nullptr;
    std::string name;
};

class ScriptMessageTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        mDialog = Push("dialog");
        ASSERT_EQ(Run("function command() commands = (commands or 0) + 1 end"), "");
        lua_pushstring(L, "command");
        lua_gettable(L, LUA_GLOBALSINDEX);
        mCommand = std::make_unique<TLuaFunction>(L);
    }
    void TearDown() override {
        mCommand.reset();
        ScriptTest::TearDown();
        EXPECT_EQ(TTestMessage::sLive, 0);
    }
    // One pass of the application's task list, where the script's task runs.
    void RunTasks() { mApp->UpdateTasks(); }
    // The Lua message held in the global.
    TMessage* LuaMessage(const char* global) {
        lua_pushstring(L, global);
        lua_gettable(L, LUA_GLOBALSINDEX);
        TMessage* message = GetLuaMessage(L, -1);
        lua_pop(L, 1);
        return message;
    }
    void Collect() { lua_setgcthreshold(L, 0); }

    TTestModal* mDialog = nullptr;
    std::unique_ptr<TLuaFunction> mCommand;
};

TEST_F(ScriptMessageTest, ALuaMessageNobodyTakesComesBackAsItself) {
    Start(
        "mine = CreateNamedMessage(1000, 'hello') PostMessage(mine)\n"
        "got = HandleGetMessage() same = rawequal(got, mine) seen = got.type .. ':' .. got.name");
    EXPECT_EQ(mScript->GetWaitState(), TWindowScript::kWaitingForMessage);
    Idle();
    EXPECT_THAT(Entries("message"), ElementsAre("dialog.message(hello)"));
    EXPECT_EQ(Global("same"), "true");
    EXPECT_EQ(Global("seen"), "1000:hello");
    EXPECT_EQ(mScript->GetWaitState(), TWindowScript::kRunning);
}

TEST_F(ScriptMessageTest, ANativeMessageGoesWithTheCollector) {
    Start("local m = HandleGetMessage() name = m.name");
    mManager->PostMessage(new TTestMessage("native", mDialog));
    Idle();
    EXPECT_EQ(Global("name"), "native");
    EXPECT_EQ(TTestMessage::sLive, 1);
    Collect();
    EXPECT_EQ(TTestMessage::sLive, 0);
}

TEST_F(ScriptMessageTest, QueuedWhileTheCoroutineRunsOrIsOver) {
    // No coroutine: both go to the library's queues.
    EXPECT_TRUE(mScript->QueueMessage(new TTestMessage("first"), mCommand.get()));
    EXPECT_TRUE(mScript->QueueMessage(nullptr, mCommand.get()));
    EXPECT_TRUE(mScript->QueueMessage(new TTestMessage("second"), nullptr));
    EXPECT_EQ(Run("return table.getn(gMessageQueue), table.getn(gCommandQueue),\n"
                  "  rawequal(gCommandQueue[2], command), gMessageToQueue, gMessageCommand"),
              "2, 2, true, nil, nil");
    EXPECT_EQ(Global("commands"), "nil");
    EXPECT_THAT(TakeScriptQueue(), ElementsAre("first", "second"));
    EXPECT_EQ(TTestMessage::sLive, 0);
}

TEST_F(ScriptMessageTest, WaitingInHandleGetMessageTheCoroutineGetsMessageAndCommand) {
    Start(
        "while true do\n"
        "  local m, c = HandleGetMessage()\n"
        "  got = m.type .. ':' .. m.name .. ':' .. tostring(rawequal(c, command))\n"
        "  if c then c() end\n"
        "end");
    // A command alone comes with a kCommandOnly message.
    EXPECT_TRUE(mScript->QueueMessage(nullptr, mCommand.get()));
    EXPECT_EQ(Global("got"), "8::true");
    EXPECT_EQ(Global("commands"), "1");
    EXPECT_TRUE(
        mScript->QueueMessage(new TTestMessage(TMessage::kButtonPress, "ok"), mCommand.get()));
    EXPECT_EQ(Global("got"), "3:ok:true");
    EXPECT_EQ(Global("commands"), "2");
    EXPECT_TRUE(mScript->QueueMessage(new TTestMessage("plain"), nullptr));
    EXPECT_EQ(Global("got"), "0:plain:false");
    EXPECT_EQ(mScript->GetWaitState(), TWindowScript::kWaitingForMessage);
    Collect();
    EXPECT_EQ(TTestMessage::sLive, 0);
}

TEST_F(ScriptMessageTest, AFailedResumeLeavesTheWaitStateFailed) {
    testing_support::LogCapture log;
    Start("HandleGetMessage() error('broken', 0)");
    EXPECT_TRUE(mScript->QueueMessage(new TTestMessage("fatal"), nullptr));
    EXPECT_EQ(mScript->GetWaitState(), TWindowScript::kResumeFailed);
    EXPECT_FALSE(mScript->IsYielded());
    EXPECT_THAT(log.Messages(), ElementsAre("lua_resume ERROR: broken"));
    // The coroutine is over: the next message is queued.
    EXPECT_TRUE(mScript->QueueMessage(new TTestMessage("later"), nullptr));
    EXPECT_THAT(TakeScriptQueue(), ElementsAre("later"));
}

TEST_F(ScriptMessageTest, MessagesArrivingInAnotherYieldWaitForTheNextHandleGetMessage) {
    Start(
        "coroutine.yield()\n"
        "first = HandleGetMessage().name second = HandleGetMessage().name\n"
        "third = HandleGetMessage().name");
    // A modal that closes while the script sits in a plain yield.
    TTestModal* closing = Push("closing");
    std::string id = closing->GetIdString().c_str();
    mManager->DoPopModal("closing");
    Idle();  // deletes the modal, which posts its closing notice
    Idle();
    EXPECT_EQ(mScript->GetPendingCount(), 1u);
    // A command cannot wait: it runs at once.
    EXPECT_FALSE(mScript->QueueMessage(new TTestMessage("next"), mCommand.get()));
    EXPECT_EQ(Global("commands"), "1");
    EXPECT_EQ(mScript->GetPendingCount(), 2u);

    RunTasks();  // the yield goes on, and each wait is served at once, oldest first
    EXPECT_EQ(Global("first"), id);
    EXPECT_EQ(Global("second"), "next");
    EXPECT_EQ(mScript->GetPendingCount(), 0u);
    EXPECT_EQ(mScript->GetWaitState(), TWindowScript::kWaitingForMessage);
    EXPECT_TRUE(mScript->QueueMessage(new TTestMessage("third"), nullptr));
    EXPECT_EQ(Global("third"), "third");
    Collect();
}

TEST_F(ScriptMessageTest, HandleGetMessageWithATimeout) {
    Start(
        "r = 'waiting' local a, b = HandleGetMessage(500) r = tostring(a) .. ',' .. tostring(b)\n"
        "HandleGetMessage(nil) r = 'next update'\n"
        "HandleGetMessage() r = 'message'");
    Advance(499);
    RunTasks();
    EXPECT_EQ(Global("r"), "waiting");
    Advance(1);
    RunTasks();
    EXPECT_EQ(Global("r"), "nil,nil");
    RunTasks();
    EXPECT_EQ(Global("r"), "next update");
    // Without an argument only a message ends the wait.
    Advance(100000);
    RunTasks();
    EXPECT_EQ(Global("r"), "next update");
    mScript->QueueMessage(new TTestMessage("m"), nullptr);
    EXPECT_EQ(Global("r"), "message");
    Collect();
}

TEST_F(ScriptMessageTest, HandleGetMessageYieldsTheYieldResult) {
    EXPECT_EQ(Run("gYieldResult = 42\n"
                  "local c = coroutine.create(function() return HandleGetMessage() end)\n"
                  "return coroutine.resume(c)"),
              "true, 42");
}

TEST_F(ScriptMessageTest, PostMessageToParentReachesTheCoveredModalsDefaultFocus) {
    auto* focus = MakeWindow<TCatcher>(mDialog, {0, 0, 10, 10}, "focus");
    mDialog->SetDefaultFocus(focus);
    Push("front");
    ASSERT_EQ(Run("keep = CreateNamedMessage(1000, 'up') PostMessageToParent(keep)"), "");
    Idle();
    EXPECT_THAT(Entries("message"), ElementsAre("dialog.message(up)"));
    // It saw the script's message, not the wrapper; the script's message lives on.
    EXPECT_EQ(focus->caught, LuaMessage("keep"));
    EXPECT_EQ(Run("return keep.name"), "up");
}

TEST_F(ScriptMessageTest, LuaMessagesConsumedOnTheWayLeaveTheirMessageToLua) {
    std::vector<std::string> seen;
    mManager->AddMessageHandler(new TCountingHandler(1001, &seen));
    auto* focus = MakeWindow<TCatcher>(mDialog, {0, 0, 10, 10}, "focus");
    mManager->SetFocusWindow(focus);
    ASSERT_EQ(Run("handled = CreateNamedMessage(1001, 'handled') PostMessage(handled)\n"
                  "taken = CreateNamedMessage(1000, 'taken') PostMessage(taken)\n"
                  "quit = CreateNamedMessage(5, 'quit') PostMessage(quit)"),
              "");
    Idle();
    EXPECT_THAT(seen, ElementsAre("1001:handled", "1000:taken"));
    // Offered up the tree as it travels: the wrapper, which it took.
    EXPECT_NE(focus->caught, LuaMessage("taken"));
    EXPECT_EQ(focus->name, "taken");
    EXPECT_EQ(Run("return handled.name, taken.name, quit.name"), "handled, taken, quit");
    EXPECT_EQ(Run("handled, taken, quit = nil collectgarbage()"), "");
}

TEST_F(ScriptMessageTest, OnlyMessagesArePosted) {
    testing_support::LogCapture log;
    EXPECT_EQ(Run("PostMessage('text') PostMessageToParent() PostMessage({})"), "");
    EXPECT_THAT(mManager->GetPostedMessages(), IsEmpty());
    EXPECT_THAT(log.Messages(),
                ElementsAre("PostMessage: the argument is not a message; nothing posted",
                            "PostMessageToParent: the argument is not a message; nothing posted",
                            "PostMessage: the argument is not a message; nothing posted"));
}

TEST_F(ScriptMessageTest, CloseMessagesNameTheCurrentWindow) {
    EXPECT_EQ(Run("local m = CreateCloseMessage() return m.type, m.name"),
              "1, " + std::string(mDialog->GetIdString().c_str()));
    mScript->ResetWindowStack(nullptr);
    EXPECT_EQ(Run("return CreateCloseMessage()"), "nil");
}

TEST_F(ScriptMessageTest, ReplacingTheScriptDeletesWhatTheOldOneHeld) {
    // Held by Lua, pending, and posted but not yet delivered.
    mScript->QueueMessage(new TTestMessage("queued"), nullptr);
    Start("coroutine.yield()");
    mScript->QueueMessage(new TTestMessage("pending"), nullptr);
    ASSERT_EQ(Run("PostMessage(CreateNamedMessage(1000, 'posted'))"), "");
    mManager->PostMessage(new TTestMessage("native"));
    size_t tasks = mApp->GetTaskList()->GetTaskCount();
    EXPECT_EQ(TTestMessage::sLive, 3);

    mCommand.reset();  // held in the old script's state
    auto* next = new TWindowScript;
    mManager->SetScript(next);
    EXPECT_EQ(TTestMessage::sLive, 1);  // the native one is still posted
    ASSERT_EQ(mManager->GetPostedMessages().size(), 1u);
    EXPECT_EQ(mApp->GetTaskList()->GetTaskCount(), tasks);
    EXPECT_THAT(next->GetWindowStack(), ElementsAre(mDialog));
    // The new script runs from the application's task list.
    next->DoLuaString("return function() HandleGetMessage(nil) resumed = true end");
    RunTasks();
    EXPECT_EQ(LuaGlobalText(next->GetState(), "resumed"), "true");
}

}  // namespace
}  // namespace uitest
