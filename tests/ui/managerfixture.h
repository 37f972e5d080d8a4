// The window manager as the program has it, for the tests of its stack, its dispatch and its
// frames: the application object on the headless backend with the fake clock, its main window in
// the foreground and a 640 x 480 screen set up (so the screen is the bottom modal), and the
// renderer's device work going to a recording sink that also writes frames and render targets
// into the windows' journal ("frame", "end1", "target", "endtarget").
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/platform.h"
#include "platform/platformevent.h"
#include "platform/win32platform.h"
#include "port/system/control.h"
#include "port/window/control.h"
#include "script/lua/lua.h"
#include "support/screenup.h"
#include "testwindows.h"
#include "ui/luamessage.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"
#include "ui/windowsystem.h"

namespace uitest {

inline TPlatformEvent Event(int32_t type, int32_t x = 0, int32_t y = 0, int32_t value = 0) {
    TPlatformEvent event;
    event.type = type;
    event.value = value;
    event.x = x;
    event.y = y;
    return event;
}

class TJournalSink : public TRecordingRenderSink {
public:
    explicit TJournalSink(TJournal* journal) : mJournal(journal) {}
    bool BeginFrame(bool keepFrontBuffer) override {
        mJournal->push_back("frame");
        ++frames;
        return TRecordingRenderSink::BeginFrame(keepFrontBuffer);
    }
    void EndFrame(uint32_t argument) override {
        mJournal->push_back("end" + std::to_string(argument));
    }
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode) override {
        mJournal->push_back("target");
        return TRecordingRenderSink::BeginRenderTarget(texture, mode);
    }
    void EndRenderTarget() override {
        mJournal->push_back("endtarget");
        TRecordingRenderSink::EndRenderTarget();
    }

    // Frames begun (refused ones included).
    int frames = 0;

private:
    TJournal* mJournal;
};

// Counts its messages and consumes those of its type.
class TCountingHandler : public TWindowMessageHandler {
public:
    TCountingHandler(int32_t type, std::vector<std::string>* seen) : mType(type), mSeen(seen) {}
    bool HandleMessage(TMessage* message) override {
        mSeen->push_back(std::to_string(message->GetType()) + ":" + message->GetName().c_str());
        return message->GetType() == mType;
    }

private:
    int32_t mType;
    std::vector<std::string>* mSeen;
};

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(1000000);
        RegisterWindowSystem();
        mApp = std::make_unique<TPlatform>(MakePlatform());
        testing_support::ShowWindowAndSetupScreen(*mApp, 640, 480);
        TRenderer::GetInstance()->SetSink(&mSink);
        mManager = TWindowManager::Get();
        mScreen = mManager->GetScreen();
        // The library's queues, where the messages nobody took end.
        mManager->GetScript()->DoLuaString("gMessageQueue = {} gCommandQueue = {}");
        // Frames are due from now on.
        port::control::AdvanceTime(1000);
    }
    void TearDown() override { mApp.reset(); }

    // The platform object the application object takes (tests of hosted mode give a command
    // line).
    virtual TWin32Platform* MakePlatform() { return nullptr; }

    // The application clock's time (the fake clock less the start).
    uint32_t Now() const { return TPlatform::GetTimer(); }
    static void Advance(uint32_t milliseconds) { port::control::AdvanceTime(milliseconds); }
    void Send(const TPlatformEvent& event) { mManager->HandleEvent(event); }
    void Idle() { Send(Event(kEventIdle)); }
    // An idle turn after the frame interval: draws when the manager is dirty.
    void IdleAfterInterval() {
        Advance(TWindowManager::kFrameInterval);
        Idle();
    }

    // A modal of the rectangle pushed on the stack.
    TTestModal* Push(const char* name, TRect rect = {0, 0, 640, 480}) {
        auto* modal = new TTestModal(name, &mJournal);
        modal->SetRect(rect);
        EXPECT_TRUE(mManager->PushModal(modal));
        return modal;
    }
    TTestWindow* Add(TWindow* parent, TRect rect, const char* name) {
        return MakeWindow(parent, rect, name, &mJournal);
    }
    // The journal's entries that contain the text, in order.
    std::vector<std::string> Entries(const std::string& text) const {
        std::vector<std::string> found;
        for (const std::string& entry : mJournal) {
            if (entry.find(text) != std::string::npos) found.push_back(entry);
        }
        return found;
    }
    // The names of the messages in the script's queue, oldest first. The queue is emptied and
    // the collector runs: the messages are gone then.
    std::vector<std::string> TakeScriptQueue() {
        lua_State* L = mManager->GetScript()->GetState();
        std::vector<std::string> names;
        lua_pushstring(L, "gMessageQueue");
        lua_gettable(L, LUA_GLOBALSINDEX);
        for (int i = 1; lua_istable(L, -1); ++i) {
            lua_rawgeti(L, -1, i);
            TMessage* message = GetLuaMessage(L, -1);
            lua_pop(L, 1);
            if (message == nullptr) break;
            names.push_back(message->GetName().c_str());
        }
        lua_pop(L, 1);
        mManager->GetScript()->DoLuaString("gMessageQueue = {}");
        lua_setgcthreshold(L, 0);
        return names;
    }
    std::vector<std::string> Stack() const {
        std::vector<std::string> names;
        for (TModalWindow* modal : mManager->GetModals())
            names.push_back(modal->GetName().c_str());
        return names;
    }

    TJournal mJournal;
    TJournalSink mSink{&mJournal};
    std::unique_ptr<TPlatform> mApp;
    TWindowManager* mManager = nullptr;
    TScreen* mScreen = nullptr;
};

}  // namespace uitest
