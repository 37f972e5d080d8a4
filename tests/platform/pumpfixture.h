// The application object with its main window shown on the headless backend, the fake clock on
// (Sleep moves it), and the window system's hooks replaced by a recording stand-in: the game
// state's values, its hold, the redraw, the input lock, the movie stop and the root screen
// rectangle. Tests drive the event pump with the control plane's input and read its events.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/settingsmap.h"
#include "platform/display/display.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/platformevent.h"
#include "platform/settingkeys.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/control.h"
#include "port/system/control.h"
#include "port/window/activation.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace pump_testing {

// What the window system was asked, and how it answers.
struct WindowSystem {
    std::vector<std::pair<std::string, int>> stateInts;
    bool suspended = false;
    int suspendedTurns = -1;  // >= 0: answers suspended this many more times
    int dirtyMarks = 0;
    bool inputLocked = false;
    int movieStops = 0;
    bool hasScreen = false;
    RECT screen{};
};
inline WindowSystem gSystem;
// The manager the stand-in hands out: any non-null value serves.
inline int gManagerToken = 0;

inline void InstallWindowSystem() {
    gSystem = WindowSystem{};
    windowsystemhooks::THooks hooks;
    hooks.createWindowManager = [] { return reinterpret_cast<TWindowManager*>(&gManagerToken); };
    hooks.deleteWindowManager = [](TWindowManager*) {};
    hooks.setGameStateInt = [](const str& key, int value) {
        gSystem.stateInts.emplace_back(key.c_str(), value);
    };
    hooks.isGameSuspended = [] {
        if (gSystem.suspendedTurns >= 0) {
            return gSystem.suspendedTurns-- > 0;
        }
        return gSystem.suspended;
    };
    hooks.markDirty = [](TWindowManager*) { ++gSystem.dirtyMarks; };
    hooks.isInputLocked = [](const TWindowManager*) { return gSystem.inputLocked; };
    hooks.endMovie = [](TWindowManager*) { ++gSystem.movieStops; };
    hooks.getScreenRect = [](const TWindowManager*, RECT* rect) {
        *rect = gSystem.screen;
        return gSystem.hasScreen;
    };
    windowsystemhooks::Install(hooks);
}

class PumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(100000);
        port::control::SetSleepAdvancesClock(true);
        TWin32Platform::ResetProcessEventState();
        InstallWindowSystem();
    }

    void TearDown() override {
        mApp.reset();
        windowsystemhooks::Install({});
        TWin32Platform::ResetProcessEventState();
    }

    // Makes the application object and its main window (shown, in front), then settles the
    // queue, the first turn included. unicode: "utf8mode" on (a Unicode window).
    void Start(const char* commandLine = "", bool unicode = false, bool embedded = false,
               HWND host = nullptr) {
        if (unicode) {
            TPlatform::SetConfig(settingkey::kUtf8Mode, "1");
        }
        mApp = std::make_unique<TPlatform>(TWin32Platform::Create(commandLine));
        mPlatform = mApp->GetPlatform();
        mPlatform->SetEmbedded(embedded);
        mPlatform->SetHostWindow(host);
        mApp->CreateMainWindow();
        mWindow = mPlatform->GetMainWindow();
        ShowWindow(mWindow, 1);
        SetForegroundWindow(mWindow);
        Settle();
        gSystem.stateInts.clear();
        gSystem.dirtyMarks = 0;
    }

    // Gives the application a display: windowed in the main window, with a device, working.
    TPlatformData* MakeDisplay() {
        mPlatform->SetPlatformData(std::make_unique<TPlatformData>());
        TPlatformData* display = mPlatform->GetPlatformData();
        TDXContext* context = display->GetContext();
        EXPECT_TRUE(context->Create(mWindow, false, 320, 240, 32, 1 | CDisplay::kFlagKeepWindow));
        TDisplayRecord* record = display->GetRecord();
        record->mDirectDraw = context->GetDirectDraw();
        record->mDirect3D = context->GetDirect3D();
        record->mDevice = context->GetDevice();
        // The size a set-up leaves in the record, so that a switch sets the same size up again.
        RECT whole{0, 0, 320, 240};
        record->mClipRect = whole;
        record->mTargetRect = whole;
        record->mScreenRect = whole;
        record->mViewportRect = whole;
        EXPECT_TRUE(display->IsWorking());
        return display;
    }

    TPlatformEvent Turn() {
        TPlatformEvent event;
        event.type = -1;
        mApp->GetEvent(event);
        return event;
    }

    // Turns until an idle turn; the events before it.
    std::vector<TPlatformEvent> Settle() {
        std::vector<TPlatformEvent> events;
        for (int i = 0; i < 200; ++i) {
            TPlatformEvent event = Turn();
            if (event.type == kEventIdle) {
                return events;
            }
            events.push_back(event);
        }
        ADD_FAILURE() << "the queue never ran dry";
        return events;
    }

    static std::vector<TPlatformEvent> OfType(const std::vector<TPlatformEvent>& events,
                                              int type) {
        std::vector<TPlatformEvent> out;
        for (const TPlatformEvent& event : events) {
            if (event.type == type) out.push_back(event);
        }
        return out;
    }

    TEventPumpState& Pump() { return mPlatform->GetPumpState(); }

    std::unique_ptr<TPlatform> mApp;
    TWin32Platform* mPlatform = nullptr;
    HWND mWindow = nullptr;
};

// "type/value (x, y) extra", for failure messages.
inline std::string Describe(const TPlatformEvent& event) {
    return std::to_string(event.type) + "/" + std::to_string(event.value) + " (" +
           std::to_string(event.x) + ", " + std::to_string(event.y) + ") " +
           std::to_string(event.extra);
}

}  // namespace pump_testing
