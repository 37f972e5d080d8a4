#include "setdisplayfixture.h"

#include "foundation/file/fileindex.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/system/control.h"
#include "port/system/showcommand.h"
#include "port/window/activation.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace setdisplay_testing {

WindowSystem gSystem;

namespace {

// The manager the stand-in hands out: any non-null value serves.
int gManagerToken = 0;

void InstallWindowSystem() {
    gSystem = WindowSystem{};
    windowsystemhooks::THooks hooks;
    hooks.createWindowManager = [] { return reinterpret_cast<TWindowManager*>(&gManagerToken); };
    hooks.deleteWindowManager = [](TWindowManager*) {};
    hooks.markDirty = [](TWindowManager*) { ++gSystem.dirtyMarks; };
    hooks.isDrawingSuspended = [](const TWindowManager*) { return gSystem.suspended; };
    windowsystemhooks::Install(hooks);
}

}  // namespace

void SetDisplayTest::SetUp() {
    DxTest::SetUp();
    port::control::SetSleepAdvancesClock(true);
    port::control::SetExitHandler([](int code) { throw ExitCalled{code}; });
    TWin32Platform::ResetProcessEventState();
    InstallWindowSystem();
}

void SetDisplayTest::TearDown() {
    mApp.reset();
    windowsystemhooks::Install({});
    TWin32Platform::ResetProcessEventState();
    DxTest::TearDown();
}

void SetDisplayTest::Start(const std::string& commandLine, HWND host, bool ownHost) {
    mApp = std::make_unique<TPlatform>(TWin32Platform::Create(commandLine.c_str()));
    mPlatform = mApp->GetPlatform();
    if (host != nullptr) {
        mPlatform->SetEmbedded(true);
        mPlatform->SetHostWindow(host);
        mPlatform->SetOwnWindowHost(ownHost);
    }
    SetCommonDataRoot(mCommon.Path().c_str());
    mApp->CreateMainWindow();
    mWindow = mPlatform->GetMainWindow();
    ShowWindow(mWindow, SW_SHOW);
    SetForegroundWindow(mWindow);
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    gSystem.dirtyMarks = 0;
}

void SetDisplayTest::WriteDisplaySettings(const std::string& text) {
    ASSERT_TRUE(testing_support::WriteFileBytes(mCommon.File("display.xml"), text));
}

TPlatformData* SetDisplayTest::MakeDisplay() {
    // The program makes its display once, and the cursor worker reads it without a lock: a
    // test that replaces it stops the worker first.
    if (mPlatform->GetPlatformData() != nullptr) mPlatform->StopWorker();
    mPlatform->SetPlatformData(std::make_unique<TPlatformData>());
    mDisplay = mPlatform->GetPlatformData();
    return mDisplay;
}

int SetDisplayTest::SetDisplay(int width, int height, bool fullscreen, bool force, bool quiet,
                               bool childOfHost) {
    try {
        mDisplay->SetDisplay(width, height, fullscreen, force, quiet, childOfHost);
    } catch (const ExitCalled& exit) {
        return exit.code;
    }
    return kNoExit;
}

TDisplayRecord& SetDisplayTest::Record() const {
    return *mDisplay->GetRecord();
}

TDXContext& SetDisplayTest::Context() const {
    return *mDisplay->GetContext();
}

std::vector<std::string> SetDisplayTest::BoxTexts() {
    std::vector<std::string> texts;
    for (const port::MessageBoxRecord& box : Boxes())
        texts.push_back(box.text);
    return texts;
}

bool SetDisplayTest::TakeQuit(int* code) {
    MSG msg{};
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    if (code != nullptr) *code = static_cast<int>(msg.wParam);
    return true;
}

LONG_PTR SetDisplayTest::Style() const {
    return GetWindowLongA(mWindow, GWL_STYLE);
}

LONG_PTR SetDisplayTest::ExStyle() const {
    return GetWindowLongA(mWindow, GWL_EXSTYLE);
}

std::string SetDisplayTest::Setting(const char* key) {
    return TPlatform::GetConfig(key, "<none>").c_str();
}

HWND MakeHost(int width, int height) {
    port::control::ForeignWindowSpec spec;
    spec.rect = RECT{0, 0, width, height};
    return port::control::CreateForeignWindow(spec);
}

}  // namespace setdisplay_testing
