#include "demogame.h"

#include <chrono>
#include <cstdio>

#include "demodata.h"
#include "demofolders.h"
#include "demotour.h"
#include "foundation/log.h"
#include "platform/platform.h"
#include "platform/platformevent.h"
#include "port/display/control.h"
#include "port/window/vkeys.h"
#include "support/xsession.h"

namespace platformdemo {
namespace {

bool gTour = false;
int gExitCode = 0;

constexpr int32_t kKeyLose = 'L';
constexpr int32_t kKeyScreenshot = 'S';

}  // namespace

void SetTourMode(bool tour) {
    gTour = tour;
}

int ExitCode() {
    return gExitCode;
}

void DemoMain(TPlatform* platform, const char* /*commandLine*/) {
    DemoGame game(platform);
    if (!game.Start()) {
        std::fprintf(stderr, "platformdemo: the demo could not start (see %s)\n",
                     GetLogPath().c_str());
        gExitCode = 1;
        return;
    }
    if (gTour) {
        gExitCode = RunTour(game) ? 0 : 1;
        return;
    }
    while (game.Turn()) {
    }
}

DemoGame::DemoGame(TPlatform* platform) : mPlatform(platform) {}

bool DemoGame::Start() {
    mPlatform->SetupScreen(kScreenWidth, kScreenHeight, false);
    mPlatform->SetWindowTitle(kWindowTitle);
    if (!MakeDemoData() || !mScene.Load()) return false;
    // The built-in arrow, drawn by the display where the pointer is.
    mPlatform->ShowCursor(true);
    mPlatform->SetCursorImage(nullptr, 0, 0, false);
    LogPrintf("platformdemo: started, %d x %d, the data in user:demo/", kScreenWidth,
              kScreenHeight);
    return true;
}

bool DemoGame::Turn() {
    if (mEnded) return false;
    TPlatformEvent event;
    mPlatform->GetEvent(event);
    switch (event.type) {
        case kEventIdle:
            if (mScene.DrawFrame()) {
                ++mFrames;
            } else {
                ++mRefused;
            }
            break;
        case kEventClose:
        case kEventQuit:
            mEnded = true;
            break;
        case kEventKeyDown:
            HandleKey(event.value);
            break;
        case kEventFullscreenSwitch:
            LogPrintf("platformdemo: now %s", event.value != 0 ? "full screen" : "in a window");
            break;
        default:
            break;
    }
    return !mEnded;
}

void DemoGame::HandleKey(int32_t code) {
    if (code == VK_ESCAPE) {
        mEnded = true;
    } else if (code == kKeyLose) {
        LogPrintf("platformdemo: every surface lost through the control plane");
        port::control::LoseAllSurfaces();
    } else if (code == kKeyScreenshot) {
        std::string path = WriteScreenshot();
        if (!path.empty()) std::printf("platformdemo: screenshot %s\n", path.c_str());
    }
}

bool DemoGame::RunUntil(const std::function<bool()>& done, int milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    bool answer = done();
    while (!answer && !mEnded && std::chrono::steady_clock::now() < end) {
        Turn();
        answer = done();
    }
    return answer;
}

void DemoGame::RunFor(int milliseconds) {
    RunUntil([] { return false; }, milliseconds);
}

bool DemoGame::RunFrames(int frames, int milliseconds) {
    uint64_t target = mFrames + static_cast<uint64_t>(frames);
    return RunUntil([&] { return mFrames >= target; }, milliseconds);
}

std::string DemoGame::WriteScreenshot() {
    port::control::Image view = port::control::PlayerView();
    if (view.Empty()) {
        LogPrintf("platformdemo: no screenshot, the screen cannot be read now");
        return "";
    }
    testing_support::ArgbImage image;
    image.width = view.width;
    image.height = view.height;
    image.pixels = std::move(view.argb);
    std::string path = ScreenshotPath("screenshot-" + std::to_string(++mScreenshots) + ".png");
    if (!testing_support::WriteArgbPng(image, path)) {
        LogPrintf("platformdemo: the screenshot %s could not be written", path.c_str());
        return "";
    }
    LogPrintf("platformdemo: screenshot %s", path.c_str());
    return path;
}

}  // namespace platformdemo
