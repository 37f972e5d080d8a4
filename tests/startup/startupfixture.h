// A program folder, data folders and a lock folder of the test's own, the fake clock, an exit
// handler that throws, and the upper layers' hooks installed, for tests that run the framework's
// main routine on the headless backend.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "online/onlineservices.h"
#include "platform/frameworkmain.h"
#include "platform/platform.h"
#include "platform/windowsystemhooks.h"
#include "port/control.h"
#include "port/system/control.h"
#include "port/system/shell.h"
#include "support/tempdir.h"
#include "ui/windowsystem.h"

namespace startup_test {

// What the port's ExitProcess was asked.
struct ExitCalled {
    int code;
};

// The game's main function for a test: the function the current test set, called once.
inline std::function<void(TPlatform*, const char*)> gGameBody;
inline int gGameMainCalls = 0;

inline void RecordingGameMain(TPlatform* platform, const char* commandLine) {
    ++gGameMainCalls;
    if (gGameBody) gGameBody(platform, commandLine);
}

constexpr DWORD kStartTime = 123456;

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        mProgramFolder = mRoot.Path() + "/game/";
        fs::create_directories(mProgramFolder + "assets");
        fs::create_directories(mRoot.Path() + "/user");
        fs::create_directories(mRoot.Path() + "/common");
        fs::create_directories(mRoot.Path() + "/desktop");
        fs::create_directories(mRoot.Path() + "/locks");
        port::control::SetModulePath(mProgramFolder + "umbrava");
        port::control::SetSpecialFolder(CSIDL_APPDATA, mRoot.Path() + "/user");
        port::control::SetSpecialFolder(CSIDL_COMMON_APPDATA, mRoot.Path() + "/common");
        port::control::SetSpecialFolder(CSIDL_DESKTOP, mRoot.Path() + "/desktop");
        port::control::SetInstanceLockFolder(mRoot.Path() + "/locks");
        port::control::SetExitHandler([](int code) { throw ExitCalled{code}; });
        port::control::UseFakeClock(true);
        port::control::SetTime(kStartTime);
        RegisterOnlineServices();
        RegisterWindowSystem();
        gGameBody = nullptr;
        gGameMainCalls = 0;
    }

    void TearDown() override {
        windowsystemhooks::Install({});
        gGameBody = nullptr;
    }

    // Runs the main routine; the exit code when it ended the process, else none (-1000).
    int Run(const char* commandLine, bool severalInstances = true) {
        try {
            FrameworkMain(nullptr, nullptr, commandLine, 1, &RecordingGameMain, severalInstances);
        } catch (const ExitCalled& exit) {
            return exit.code;
        }
        return kReturned;
    }

    std::string UserFolder() const { return mRoot.Path() + "/user/Brisvel/Umbrava"; }
    std::string Asset(const std::string& name) const { return mProgramFolder + "assets/" + name; }

    static constexpr int kReturned = -1000;
    testing_support::TempDir mRoot;
    std::string mProgramFolder;
};

}  // namespace startup_test
