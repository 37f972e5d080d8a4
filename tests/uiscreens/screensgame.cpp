#include "screensgame.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "foundation/log.h"
#include "platform/platform.h"
#include "platform/platformevent.h"
#include "scenes.h"
#include "support/xsession.h"
#include "ui/windowmanager.h"

namespace uiscreens {
namespace {

using Clock = std::chrono::steady_clock;
using testing_support::ArgbImage;
using testing_support::XSession;
using testing_support::XWindowId;

constexpr char kTitle[] = "Umbrava ui screens";
// How long a stage may take to be drawn, and the picture to show on the X server.
constexpr auto kWait = std::chrono::seconds(10);
// Between two grabs.
constexpr auto kGrabEvery = std::chrono::milliseconds(100);
// The main loop's turns after each step of the pointer.
constexpr auto kPointerTurns = std::chrono::milliseconds(150);
// A channel may differ this much from the expected colour.
constexpr int kTolerance = 8;

const Scene* gScene = nullptr;
int gExitCode = 1;

bool Near(uint32_t argb, uint32_t rgb) {
    for (int shift : {16, 8, 0}) {
        int have = static_cast<int>((argb >> shift) & 0xFF);
        int want = static_cast<int>((rgb >> shift) & 0xFF);
        if (std::abs(have - want) > kTolerance) return false;
    }
    return true;
}

// The checks the image fails, each with what it shows.
std::vector<std::string> Failed(const ArgbImage& image) {
    std::vector<std::string> failed;
    for (const PixelCheck& check : gScene->checks) {
        char line[256];
        if (check.x >= image.width || check.y >= image.height) {
            std::snprintf(line, sizeof line, "%s: (%d, %d) is outside the %d x %d grab",
                          check.name.c_str(), check.x, check.y, image.width, image.height);
            failed.emplace_back(line);
            continue;
        }
        uint32_t pixel = image.At(check.x, check.y);
        if (Near(pixel, check.rgb)) continue;
        std::snprintf(line, sizeof line, "%s: (%d, %d) shows %06x, not %06x", check.name.c_str(),
                      check.x, check.y, pixel & 0xFFFFFFu, check.rgb);
        failed.emplace_back(line);
    }
    if (gScene->inspect) {
        for (std::string& line : gScene->inspect(image))
            failed.push_back(std::move(line));
    }
    return failed;
}

class Run {
public:
    explicit Run(TPlatform* platform) : mPlatform(platform) {}

    // One turn of the main loop: the platform's event to the window manager. False once the
    // program is asked to end.
    bool Turn() {
        TPlatformEvent event;
        mPlatform->GetEvent(event);
        if (event.type == kEventClose || event.type == kEventQuit) return false;
        TWindowManager::Get()->HandleEvent(event);
        return true;
    }
    // Turns for the time.
    bool TurnFor(std::chrono::milliseconds time) {
        auto end = Clock::now() + time;
        while (Clock::now() < end) {
            if (!Turn()) return false;
        }
        return true;
    }
    // Turns until the manager has drawn everything it was asked to.
    bool TurnUntilDrawn() {
        auto end = Clock::now() + kWait;
        while (Clock::now() < end) {
            if (!Turn()) return false;
            if (!TWindowManager::Get()->IsRedrawNeeded()) return true;
        }
        return false;
    }

private:
    TPlatform* mPlatform;
};

void Report(const std::vector<std::string>& failed, const std::string& png) {
    for (const std::string& line : failed)
        std::printf("FAIL %s\n", line.c_str());
    if (!png.empty()) std::printf("grab: %s\n", png.c_str());
    std::printf("scene %s: %zu check(s) failed\n", gScene->name.c_str(), failed.size());
    std::fflush(stdout);
}

}  // namespace

void SetScene(const Scene* scene) {
    gScene = scene;
}

std::string RunFolder() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    std::filesystem::path folder =
        error ? std::filesystem::current_path(error) : program.parent_path();
    return (folder / "ui_screens-run").string() + "/";
}

int ExitCode() {
    return gExitCode;
}

void ScreensMain(TPlatform* platform, const char* /*commandLine*/) {
    platform->SetupScreen(kScreenWidth, kScreenHeight, false);
    platform->SetWindowTitle(kTitle);
    // The software cursor would draw into the picture.
    platform->ShowCursor(false);
    XSession x;
    if (!x.Connected()) {
        Report({"no X server: " + x.WhyNot()}, "");
        return;
    }

    Run run(platform);
    TWindowManager* manager = TWindowManager::Get();
    for (size_t i = 0; i < gScene->stages.size(); ++i) {
        gScene->stages[i](manager);
        if (!run.TurnUntilDrawn()) {
            Report({"stage " + std::to_string(i + 1) + " was not drawn"}, "");
            return;
        }
    }

    XWindowId window = 0;
    if (!gScene->pointer.empty()) {
        auto end = Clock::now() + kWait;
        while (window == 0 && Clock::now() < end) {
            if (!run.TurnFor(kGrabEvery)) break;
            window = x.FindWindow(kTitle);
        }
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        if (window == 0 || !x.Geometry(window, &left, &top, &width, &height)) {
            Report({"the window to point at is not on the X server"}, "");
            return;
        }
        for (const PointerStep& step : gScene->pointer) {
            x.MovePointer(left + step.x, top + step.y);
            if (step.button != 0) x.Button(step.button, step.down);
            if (!run.TurnFor(kPointerTurns)) break;
        }
        run.TurnUntilDrawn();
    }

    ArgbImage image;
    std::vector<std::string> failed = {"the window \"" + std::string(kTitle) +
                                       "\" is not on the X server"};
    auto end = Clock::now() + kWait;
    bool inputSent = !gScene->input;
    while (Clock::now() < end) {
        if (!run.TurnFor(gScene->grabEvery)) break;
        if (window == 0) window = x.FindWindow(kTitle);
        if (window == 0) continue;
        if (!inputSent) {
            int left = 0;
            int top = 0;
            int width = 0;
            int height = 0;
            x.Geometry(window, &left, &top, &width, &height);
            gScene->input(x, left, top);
            inputSent = true;
            continue;
        }
        image = x.Grab(window);
        if (image.pixels.empty()) continue;
        failed = Failed(image);
        if (failed.empty()) break;
    }

    if (gScene->verify) {
        for (std::string& line : gScene->verify())
            failed.push_back(std::move(line));
    }

    std::string png;
    if (!image.pixels.empty()) {
        std::error_code ignored;
        std::filesystem::create_directories(RunFolder(), ignored);
        png = RunFolder() + gScene->name + ".png";
        if (!testing_support::WriteArgbPng(image, png)) {
            failed.push_back("the grab could not be written to " + png);
            png.clear();
        }
    }
    Report(failed, png);
    LogPrintf("ui_screens: scene %s, %zu check(s) failed", gScene->name.c_str(), failed.size());
    gExitCode = failed.empty() ? 0 : 1;
}

}  // namespace uiscreens
