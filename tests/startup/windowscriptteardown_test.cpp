// The window script through a whole start-up and teardown: whatever its coroutine is doing when
// the game's main function returns, the script goes exactly once, after its windows, with every
// message Lua held; and a script replaced on the way leaves nothing behind in the task list.
#include <gtest/gtest.h>

#include <string>

#include "foundation/task/taskmanager.h"
#include "startupfixture.h"
#include "ui/message.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace startup_test {
namespace {

int gScriptsDeleted = 0;
int gMessagesLive = 0;

class TCountedScript : public TWindowScript {
public:
    ~TCountedScript() override { ++gScriptsDeleted; }
};

class TCountedMessage : public TMessage {
public:
    explicit TCountedMessage(const char* name) : TMessage(kGeneric, name) { ++gMessagesLive; }
    ~TCountedMessage() override { --gMessagesLive; }
};

class WindowScriptTeardownTest : public StartupTest,
                                 public ::testing::WithParamInterface<const char*> {};

TEST_P(WindowScriptTeardownTest, TheScriptGoesOnceWithWhatLuaHeld) {
    gScriptsDeleted = 0;
    gMessagesLive = 0;
    size_t tasksBefore = 0;
    size_t tasksAfter = 0;
    gGameBody = [&](TPlatform* platform, const char*) {
        platform->SetupScreen(640, 480, false);
        TWindowManager* manager = TWindowManager::Get();
        tasksBefore = platform->GetTaskList()->GetTaskCount();
        manager->SetScript(new TCountedScript);
        tasksAfter = platform->GetTaskList()->GetTaskCount();
        TWindowScript* script = manager->GetScript();
        script->DoLuaString("gMessageQueue = {} PushModal('dialog')");
        script->DoLuaString(GetParam());
        // Held by Lua, pending or waiting to be delivered when the program ends.
        script->QueueMessage(new TCountedMessage("held"), nullptr);
        manager->PostMessage(new TCountedMessage("posted"));
        script->DoLuaString("PostMessage(CreateNamedMessage(1000, 'lua'))");
        platform->UpdateTasks();
    };
    EXPECT_EQ(Run(""), kReturned);
    EXPECT_EQ(gScriptsDeleted, 1);
    EXPECT_EQ(gMessagesLive, 0);
    EXPECT_EQ(tasksAfter, tasksBefore);
}

std::string CoroutineName(const ::testing::TestParamInfo<const char*>& info) {
    static const char* const kNames[] = {"Waiting", "InAPlainYield", "Finished", "Failed"};
    return kNames[info.index];
}

INSTANTIATE_TEST_SUITE_P(Coroutines, WindowScriptTeardownTest,
                         ::testing::Values("return function() HandleGetMessage() end",
                                           "return function() coroutine.yield() end",
                                           "return function() end",
                                           "return function() HandleGetMessage(0) error('x') end"),
                         &CoroutineName);

}  // namespace
}  // namespace startup_test
