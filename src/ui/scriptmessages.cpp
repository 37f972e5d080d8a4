// TWindowScript's messages: the Lua functions that make, post and wait for them, and the hand-over
// of the messages no window took.
#include <algorithm>

#include "foundation/log.h"
#include "foundation/saturate.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/luaobjectwrapper.h"
#include "ui/luamessage.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace {

const char kQueueMessageText[] =
    "table.insert(gMessageQueue,gMessageToQueue); gMessageToQueue=nil;";
const char kQueueCommandText[] =
    "table.insert(gCommandQueue,gMessageCommand); gMessageCommand=nil;";

// Sets the global to the value on top (popped) and runs the text that queues it.
void QueueValue(lua_State* L, const char* global, const char* text) {
    lua_pushstring(L, global);
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
    int height = lua_gettop(L);
    lua_dostring(L, text);
    if (lua_gettop(L) > height) lua_settop(L, height);
}

}  // namespace

bool TWindowScript::QueueMessage(TMessage* message, TLuaFunction* command) {
    lua_State* L = GetState();
    if (!IsYielded()) {
        // Running or over: the library's queues keep them for its next wait.
        if (message != nullptr) {
            PushMessageValue(message);
            QueueValue(L, "gMessageToQueue", kQueueMessageText);
        }
        if (command != nullptr) {
            command->PushObject();
            QueueValue(L, "gMessageCommand", kQueueCommandText);
        }
        return true;
    }
    if (mWaitState != kWaitingForMessage) {
        // Suspended in another yield: the next HandleGetMessage takes the message; a command
        // cannot wait.
        if (message != nullptr) mPending.push_back(message);
        if (command != nullptr) command->Call();
        return false;
    }
    if (message != nullptr)
        PushMessageValue(message);
    else
        PushLuaMessage(L, new TMessage(TMessage::kCommandOnly, str()));
    int values = 1;
    if (command != nullptr) {
        command->PushObject();
        ++values;
    }
    ResumeWaiting(values);
    return true;
}

void TWindowScript::PushMessageValue(TMessage* message) {
    lua_State* L = GetState();
    if (message->IsKindOf(TLuaMessageWrapper::TypeId())) {
        auto* wrapper = static_cast<TLuaMessageWrapper*>(message);
        wrapper->PushLuaValue();
        delete wrapper;
        return;
    }
    // Lua never reads the target, and the window may go while Lua still holds the message.
    message->SetTarget(nullptr);
    PushLuaMessage(L, message);
}

void TWindowScript::DeletePending() {
    std::deque<TMessage*> pending;
    pending.swap(mPending);
    for (TMessage* message : pending)
        delete message;
}

int TWindowScript::HandleGetMessage(lua_State* L) {
    if (lua_gettop(L) == 1) {
        // An explicit nil reads as 0: the next update of the script's task.
        int timeout = std::max(0, TruncateToInt(lua_tonumber(L, 1)));
        SetTimer(static_cast<uint32_t>(timeout), true, true, false);
    } else {
        Stop();
    }
    if (!mPending.empty()) {
        // Arrived while the coroutine sat in another yield: handed over as a resume would.
        TMessage* message = mPending.front();
        mPending.pop_front();
        PushMessageValue(message);
        lua_xmove(GetState(), L, 1);
        return 1;
    }
    mWaitState = kWaitingForMessage;
    lua_pushstring(L, "gYieldResult");
    lua_gettable(L, LUA_GLOBALSINDEX);
    return lua_yield(L, 1);
}

TMessage* TWindowScript::CreateNamedMessage(int type, str name) {
    return new TMessage(type, name);
}

TMessage* TWindowScript::CreateCloseMessage() {
    TWindow* window = GetCurrentWindow();
    if (window == nullptr) return nullptr;
    return new TMessage(TMessage::kCloseWindow, window->GetIdString());
}

int TWindowScript::PostMessage(lua_State* L) {
    PostWrapped(L, false);
    return 0;
}

int TWindowScript::PostMessageToParent(lua_State* L) {
    PostWrapped(L, true);
    return 0;
}

void TWindowScript::PostWrapped(lua_State* L, bool toParent) {
    if (GetLuaMessage(L, 1) == nullptr) {
        LogPrintf("%s: the argument is not a message; nothing posted",
                  toParent ? "PostMessageToParent" : "PostMessage");
        return;
    }
    TWindowManager* manager = TWindowManager::Get();
    if (manager == nullptr) return;
    lua_pushvalue(L, 1);
    auto* wrapper = new TLuaMessageWrapper(LuaMoveToHost(L));
    if (toParent) {
        // The modal that the top one covers.
        TModalWindow* top = manager->GetTopModal();
        wrapper->SetTarget(top != nullptr ? top->GetParent() : nullptr);
    }
    manager->PostMessage(wrapper);
}
