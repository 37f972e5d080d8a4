#include "demotour.h"

#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "boxanswerer.h"
#include "demofolders.h"
#include "demogame.h"
#include "demoscene.h"
#include "foundation/log.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "port/control.h"
#include "support/xsession.h"
#include "tourimages.h"

namespace platformdemo {
namespace {

using testing_support::XSession;
using testing_support::XWindowId;

// How long any one thing may take to show (milliseconds).
constexpr int kWait = 5000;
// Between two grabs while waiting for a picture.
constexpr int kGrabEvery = 80;
// Where the pointer rests, in frame coordinates: two blank spots of the panel.
constexpr int kRestX = kPanelRight - 40;
constexpr int kRestY = kPanelBottom - 34;
constexpr int kAwayX = kPanelLeft + 150;
constexpr int kAwayY = kPanelBottom - 34;
constexpr uint32_t kPanelColour = 0x808890;
// The cursor's box must hold this many pixels unlike the panel where it is, and none where
// it is not.
constexpr int kCursorPixels = 20;
// Screenshots A and B: channels within this, and at most this many pixels beyond it.
constexpr int kGrabTolerance = 8;
constexpr int kGrabPixels = 40;

class Tour {
public:
    explicit Tour(DemoGame& game) : mGame(game) {}

    bool Run();

private:
    void Expect(bool ok, const std::string& what);
    TPlatformData* Display() const;
    bool Working() const;
    bool Fullscreen() const;
    bool Active() const;

    // Turns the loop while grabbing the window (or the screen) now and then, until the grab
    // satisfies done or the time is up; the last grab in *image.
    // What the X server shows of the window, cut from a grab of the screen (a window that lies
    // partly off the screen cannot be grabbed itself); black where it lies off the screen.
    ArgbImage GrabWindow();
    // The window's grab, or the root window's (the whole screen).
    ArgbImage Grab(XWindowId window);
    bool WaitForGrab(XWindowId window, const std::function<bool(const ArgbImage&)>& done,
                     ArgbImage* image);
    bool Covers(int left, int top, int width, int height);
    // The pointer to a point of the frame, where it shows on the screen.
    void PointerToFrame(int x, int y);
    // The point of the frame on the screen's grab (window: the window's place; full screen: the
    // scaled place).
    void FrameToScreen(int x, int y, int* screenX, int* screenY);
    void Save(const ArgbImage& image, const std::string& name);
    std::string LogSince(int position);

    bool FindWindow();
    void CheckCursor(XWindowId grabbed, const char* where);
    void CheckWindow();
    void CheckText(const ArgbImage& shot);
    void CheckFullScreen();
    void CheckFocusLoss();
    void CheckBackToWindow();
    void CheckLoss();
    void CheckScreenshotB();
    void CheckLog();
    void CheckClose();

    DemoGame& mGame;
    XSession mX;
    XWindowId mWindow = 0;
    XWindowId mOther = 0;
    int mFailed = 0;
    ArgbImage mShotA;
    std::vector<std::string> mWritten;
    // The log offsets where a loss began and where the display was back (DX errors there are
    // the loss's own).
    std::vector<std::pair<int, int>> mLossSpans;
};

void Tour::Expect(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    LogPrintf("platformdemo tour: %s %s", ok ? "ok" : "FAIL", what.c_str());
    if (!ok) ++mFailed;
}

TPlatformData* Tour::Display() const {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr ? application->GetPlatform()->GetPlatformData() : nullptr;
}

bool Tour::Working() const {
    TPlatformData* display = Display();
    return display != nullptr && display->IsWorking();
}

bool Tour::Fullscreen() const {
    return TPlatform::GetInstance()->IsFullscreen();
}

bool Tour::Active() const {
    return TPlatform::GetInstance()->IsActive();
}

ArgbImage Tour::GrabWindow() {
    ArgbImage window;
    int left = 0, top = 0;
    if (!mX.Geometry(mWindow, &left, &top, &window.width, &window.height)) return ArgbImage();
    ArgbImage screen = mX.Grab(mX.Root());
    if (screen.pixels.empty()) return ArgbImage();
    window.pixels.assign(static_cast<size_t>(window.width) * window.height, 0xFF000000u);
    for (int y = 0; y < window.height; ++y) {
        for (int x = 0; x < window.width; ++x) {
            int sx = left + x, sy = top + y;
            if (sx < 0 || sy < 0 || sx >= screen.width || sy >= screen.height) continue;
            window.pixels[static_cast<size_t>(y) * window.width + x] = screen.At(sx, sy);
        }
    }
    return window;
}

ArgbImage Tour::Grab(XWindowId window) {
    return window == mWindow ? GrabWindow() : mX.Grab(window);
}

bool Tour::WaitForGrab(XWindowId window, const std::function<bool(const ArgbImage&)>& done,
                       ArgbImage* image) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWait);
    do {
        mGame.RunFor(kGrabEvery);
        *image = Grab(window);
        if (!image->pixels.empty() && done(*image)) return true;
    } while (!mGame.Ended() && std::chrono::steady_clock::now() < end);
    return false;
}

bool Tour::Covers(int left, int top, int width, int height) {
    int x = 0, y = 0, w = 0, h = 0;
    return mX.Geometry(mWindow, &x, &y, &w, &h) && x == left && y == top && w == width &&
           h == height;
}

void Tour::FrameToScreen(int x, int y, int* screenX, int* screenY) {
    int left = 0, top = 0, width = 0, height = 0;
    mX.Geometry(mWindow, &left, &top, &width, &height);
    if (Fullscreen()) {
        ScaledPlace place = FitScaled(width, height, kScreenWidth, kScreenHeight);
        *screenX = left + place.left + x * place.width / kScreenWidth;
        *screenY = top + place.top + y * place.height / kScreenHeight;
        return;
    }
    *screenX = left + x;
    *screenY = top + y;
}

void Tour::PointerToFrame(int x, int y) {
    int screenX = 0, screenY = 0;
    FrameToScreen(x, y, &screenX, &screenY);
    mX.MovePointer(screenX, screenY);
}

void Tour::Save(const ArgbImage& image, const std::string& name) {
    std::string path = ScreenshotPath(name);
    bool written = testing_support::WriteArgbPng(image, path);
    Expect(written, "the grab is written to " + path);
    if (written) mWritten.push_back(path);
}

std::string Tour::LogSince(int position) {
    std::ifstream file(GetLogPath().c_str(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    std::string all = text.str();
    return position < static_cast<int>(all.size()) ? all.substr(static_cast<size_t>(position))
                                                   : std::string();
}

bool Tour::FindWindow() {
    mGame.RunUntil(
        [&] {
            mWindow = mX.FindWindow(kWindowTitle);
            return mWindow != 0;
        },
        kWait);
    Expect(mWindow != 0, std::string("the window \"") + kWindowTitle + "\" is on the X server");
    if (mWindow == 0) return false;
    if (mX.FocusedWindow() != mWindow) mX.Focus(mWindow);
    bool drawn =
        mGame.RunUntil([&] { return Active() && Working(); }, kWait) && mGame.RunFrames(3, kWait);
    Expect(drawn, "the window is active and the display draws frames (" +
                      std::to_string(mGame.FramesDrawn()) + " drawn, " +
                      std::to_string(mGame.FramesRefused()) + " refused)");
    return drawn;
}

// The pointer to the panel's rest spot, then away and back: each grab must show the cursor
// where the pointer is, and not where it was.
void Tour::CheckCursor(XWindowId grabbed, const char* where) {
    auto shows = [&](int atX, int atY, int notX, int notY) {
        return [=, this](const ArgbImage& image) {
            int x = 0, y = 0, nx = 0, ny = 0;
            FrameToScreen(atX, atY, &x, &y);
            FrameToScreen(notX, notY, &nx, &ny);
            if (grabbed == mWindow && !Fullscreen()) {
                int left = 0, top = 0, w = 0, h = 0;
                mX.Geometry(mWindow, &left, &top, &w, &h);
                x -= left, y -= top, nx -= left, ny -= top;
            }
            return CursorPixels(image, x, y, kPanelColour) >= kCursorPixels &&
                   CursorPixels(image, nx, ny, kPanelColour) == 0;
        };
    };
    ArgbImage image;
    PointerToFrame(kAwayX, kAwayY);
    bool away = WaitForGrab(grabbed, shows(kAwayX, kAwayY, kRestX, kRestY), &image);
    PointerToFrame(kRestX, kRestY);
    bool rest = WaitForGrab(grabbed, shows(kRestX, kRestY, kAwayX, kAwayY), &image);
    Expect(away && rest,
           std::string("the software cursor is drawn where the pointer was moved, ") + where);
}

void Tour::CheckWindow() {
    CheckCursor(mWindow, "in the window");
    mGame.RunFrames(2, kWait);
    mShotA = GrabWindow();
    Expect(mShotA.width == kScreenWidth && mShotA.height == kScreenHeight,
           "screenshot A: the window's client area is 800 x 600 (" + std::to_string(mShotA.width) +
               " x " + std::to_string(mShotA.height) + ")");
    Save(mShotA, "tour-a-window.png");
    CheckText(mShotA);
}

// The laid-out texts of screenshot A where the scene put them: the title's ink inside its
// bounds; on the markup panel a red word, a bold word of wider strokes than the same word plain,
// and the link's underline a little below the baseline.
void Tour::CheckText(const ArgbImage& shot) {
    const MarkupWords words = mGame.GetScene().GetMarkupWords();
    auto light = [](uint32_t p) {
        return (p >> 16 & 255) >= 0xC0 && (p >> 8 & 255) >= 0xC0 && (p & 255) >= 0xC0;
    };
    auto red = [](uint32_t p) {
        return (p >> 16 & 255) >= 0xB0 && (p >> 8 & 255) <= 0x50 && (p & 255) <= 0x50;
    };
    // Dark ink on the light panel, anti-aliased edges from a third of the way on.
    auto ink = [](uint32_t p) { return ChannelDistance(p, kMarkupPanelColour) > 0x40; };
    const int title = CountPixels(shot, words.title, light);
    Expect(title >= 100, "screenshot A: the title's laid-out box holds its ink (" +
                             std::to_string(title) + " light pixels)");
    const int redPixels = CountPixels(shot, words.red, red);
    Expect(redPixels >= 10,
           "screenshot A: the word in a red font tag is red (" + std::to_string(redPixels) + ")");
    const double plain = MeanRunLength(shot, words.plain, ink);
    const double bold = MeanRunLength(shot, words.bold, ink);
    char strokes[96];
    std::snprintf(strokes, sizeof strokes, "%.2f against %.2f pixels", bold, plain);
    Expect(plain > 0.0 && bold > plain * 1.15,
           std::string("screenshot A: the bold word's strokes are wider than the plain one's (") +
               strokes + ")");
    const TRect below{words.link.left, words.baseline + 1, words.link.right, words.baseline + 5};
    const int underline = WidestRow(shot, below, ink);
    const int width = words.link.right - words.link.left;
    Expect(width > 0 && underline * 10 >= width * 7,
           "screenshot A: the link is underlined just below its baseline (" +
               std::to_string(underline) + " of " + std::to_string(width) + " pixels in a row)");
}

void Tour::CheckFullScreen() {
    mX.Tap(XK_Return, {XK_Alt_L});
    int screenWidth = 0, screenHeight = 0, unused = 0;
    mX.Geometry(mX.Root(), &unused, &unused, &screenWidth, &screenHeight);
    bool covers = mGame.RunUntil(
        [&] { return Fullscreen() && Covers(0, 0, screenWidth, screenHeight); }, kWait);
    Expect(covers, "Alt+Enter: full screen, the window covers the screen (" +
                       std::to_string(screenWidth) + " x " + std::to_string(screenHeight) + ")");
    if (!covers) return;
    mGame.RunFrames(3, kWait);
    CheckCursor(mX.Root(), "in full screen");
    ArgbImage screen;
    std::string why = "no grab";
    // The cursor's own box is left out of the comparison.
    WaitForGrab(
        mX.Root(),
        [&](const ArgbImage& image) {
            why = ScaledMismatch(image, mShotA, kRestX - 4, kRestY - 4, kRestX + 20, kRestY + 26);
            return why.empty();
        },
        &screen);
    Expect(why.empty(), "the screen shows the frame scaled between black bars " + why);
    Save(screen, "tour-fullscreen.png");
}

void Tour::CheckFocusLoss() {
    int from = GetLogWritePosition();
    mOther = mX.MakeWindow(40, 40, 160, 120, 0x669933);
    mX.Focus(mOther);
    bool away = mGame.RunUntil([&] { return !Active(); }, kWait);
    Expect(away, "the input focus to another X window: the game is inactive");
    mGame.RunFor(200);
    mX.Focus(mWindow);
    uint64_t refused = mGame.FramesRefused();
    bool back =
        mGame.RunUntil([&] { return Active() && Working(); }, kWait) && mGame.RunFrames(3, kWait);
    mLossSpans.emplace_back(from, GetLogWritePosition());
    std::string log = LogSince(from);
    bool newSetUp = log.find("Calling SetDisplay") != std::string::npos;
    Expect(back && Fullscreen(), "the focus back: the display draws again, still full screen (" +
                                     std::to_string(mGame.FramesRefused() - refused) +
                                     " frames refused meanwhile)");
    Expect(newSetUp, "the log shows the restore after the focus loss set the display up anew");
    if (newSetUp) LogPrintf("platformdemo tour: after the focus loss the display was set up anew");
}

void Tour::CheckBackToWindow() {
    if (mX.FocusedWindow() != mWindow) mX.Focus(mWindow);
    mX.Tap(XK_Return, {XK_Alt_L});
    bool windowed = mGame.RunUntil(
        [&] {
            int x = 0, y = 0, w = 0, h = 0;
            return !Fullscreen() && mX.Geometry(mWindow, &x, &y, &w, &h) && w == kScreenWidth &&
                   h == kScreenHeight;
        },
        kWait);
    Expect(windowed && mGame.RunFrames(3, kWait),
           "Alt+Enter again: back in an 800 x 600 window, drawing");
}

void Tour::CheckLoss() {
    // At least three frames since the last set-up, so that the restore may keep the device.
    mGame.RunFrames(4, kWait);
    int from = GetLogWritePosition();
    port::control::KeepCallLog(true);
    uint64_t refused = mGame.FramesRefused();
    uint64_t drawn = mGame.FramesDrawn();
    LogPrintf("platformdemo tour: every surface lost through the control plane");
    port::control::LoseAllSurfaces();
    // The frame that meets the loss is refused, unless the restore happens within it.
    bool back =
        mGame.RunUntil(
            [&] { return mGame.FramesRefused() > refused || mGame.FramesDrawn() > drawn + 2; },
            kWait) &&
        mGame.RunUntil([&] { return Working(); }, kWait) && mGame.RunFrames(3, kWait);
    std::vector<port::control::LoggedCall> calls = port::control::CallLog();
    port::control::KeepCallLog(false);
    mLossSpans.emplace_back(from, GetLogWritePosition());
    bool restoredAll = false;
    for (const port::control::LoggedCall& call : calls) {
        if (call.operation.find("RestoreAllSurfaces") != std::string::npos && call.result == 0)
            restoredAll = true;
    }
    std::string log = LogSince(from);
    bool setUpAgain = log.find("Calling SetDisplay") != std::string::npos;
    Expect(back, "every surface lost in the window: the display draws again");
    Expect(restoredAll && !setUpAgain,
           "the log shows the loss in the window restored by RestoreAllSurfaces, with no new "
           "set-up");
    if (restoredAll) {
        LogPrintf("platformdemo tour: the loss in the window was restored by RestoreAllSurfaces");
    }
}

void Tour::CheckScreenshotB() {
    PointerToFrame(kRestX, kRestY);
    ArgbImage shotB;
    GrabDifference difference;
    WaitForGrab(
        mWindow,
        [&](const ArgbImage& image) {
            difference = CompareGrabs(image, mShotA, kGrabTolerance);
            return difference.pixels <= kGrabPixels;
        },
        &shotB);
    Save(shotB, "tour-b-window.png");
    Expect(mShotA.width == kScreenWidth && mShotA.height == kScreenHeight &&
               difference.pixels <= kGrabPixels,
           "screenshot B agrees with A: " + std::to_string(difference.pixels) +
               " pixels differ by more than " + std::to_string(kGrabTolerance) +
               " (largest difference " + std::to_string(difference.largest) + ")");
}

// "DX Error" lines only inside the losses and their restores.
void Tour::CheckLog() {
    std::string log = LogSince(0);
    std::vector<std::string> outside;
    size_t at = 0;
    while ((at = log.find("DX Error", at)) != std::string::npos) {
        bool inLoss = false;
        for (const auto& [from, to] : mLossSpans)
            inLoss = inLoss || (static_cast<int>(at) >= from && static_cast<int>(at) < to);
        if (!inLoss) {
            size_t end = log.find('\n', at);
            outside.push_back(log.substr(at, end == std::string::npos ? end : end - at));
        }
        ++at;
    }
    Expect(outside.empty(), "no \"DX Error\" line in the log outside the losses and restores" +
                                (outside.empty() ? std::string() : ": " + outside.front()));
}

void Tour::CheckClose() {
    if (mX.FocusedWindow() != mWindow) mX.Focus(mWindow);
    mGame.RunFor(50);
    mX.Tap(XK_F4, {XK_Alt_L});
    bool ended = mGame.RunUntil([&] { return mGame.Ended(); }, kWait);
    Expect(ended, "Alt+F4 ends the demo");
}

bool Tour::Run() {
    auto start = std::chrono::steady_clock::now();
    if (!mX.Connected()) {
        Expect(false, "the tour needs an X server: " + mX.WhyNot());
        return false;
    }
    BoxAnswerer boxes;
    if (FindWindow()) {
        CheckWindow();
        CheckFullScreen();
        if (Fullscreen()) CheckFocusLoss();
        CheckBackToWindow();
        CheckLoss();
        CheckScreenshotB();
        CheckLog();
    }
    std::vector<std::string> answered = boxes.Answered();
    Expect(answered.empty(), "no message box during the tour" +
                                 (answered.empty() ? std::string() : ": " + answered.front()));
    CheckClose();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("the tour took %.1f s, %llu frames drawn, %llu refused\n", seconds,
                static_cast<unsigned long long>(mGame.FramesDrawn()),
                static_cast<unsigned long long>(mGame.FramesRefused()));
    for (const std::string& path : mWritten)
        std::printf("screenshot: %s\n", path.c_str());
    std::printf("log: %s\n", GetLogPath().c_str());
    if (mFailed != 0) std::printf("%d check(s) failed\n", mFailed);
    return mFailed == 0;
}

}  // namespace

bool RunTour(DemoGame& game) {
    Tour tour(game);
    return tour.Run();
}

}  // namespace platformdemo
