// The screen set-up the game asks for once start-up is done, and again whenever it changes the
// screen's size or mode: the root screen window, the window's size and the display, and on the
// first run the vector-font drawer with the default font and a cleared root window; then the
// pixel-offset calibration (and on the first run the drawer's own), the quarter-second window
// timer and the renderer's full-screen viewport.
#include <memory>

#include "math/rect.h"
#include "math/vec4.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/renderer.h"
#include "platform/font/fontcache.h"
#include "platform/mainwindowstate.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texturedata.h"
#include "platform/texture/texturedatasource.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/window/queue.h"
#include "port/window/windowpos.h"

namespace {

// The window timer whose WM_TIMER the event pump hands on as a type-2 event.
constexpr UINT_PTR kScreenTimerId = 0;
constexpr UINT kScreenTimerPeriod = 250;

// Textures get their data from the display once there is one; after the application object is
// gone the hook stays installed, so they get the in-memory kind again.
std::unique_ptr<TTextureData> PlatformTextureData() {
    TPlatform* application = TPlatform::GetInstance();
    if (application == nullptr) return std::make_unique<TMemoryTextureData>();
    return application->GetPlatform()->CreateTextureData();
}

}  // namespace

void TPlatform::SetupScreen(int width, int height, bool fullscreen) {
    windowsystemhooks::InstallScreen(GetWindowManager(), width, height);
    mPlatform->SetScreenSize(width, height, fullscreen);
    TRenderer* renderer = TRenderer::GetInstance();
    while (renderer->GetViewportCount() > 1) renderer->PopViewport();
    renderer->PushViewport(TRect{0, 0, width, height});
}

void TWin32Platform::SetScreenSize(int width, int height, bool fullscreen) {
    if (IsHostedMode()) {
        SendHostFullscreen(fullscreen);
        fullscreen = false;
    }
    SetScale(1.0f, GetScaleY());
    if (mEmbedded) {
        RECT client{};
        GetClientRect(mHostWindow, &client);
        // A zero width would make the scale infinite: the scale then stays 1.
        if (width > 0) {
            float scale = static_cast<float>(client.right - client.left) / static_cast<float>(width);
            SetScale(scale, scale);
        }
        fullscreen = false;
    }

    TPlatformData* display = GetPlatformData();
    if (display == nullptr) {
        SetPlatformData(std::make_unique<TPlatformData>());
        display = GetPlatformData();
        SetTextureDataMaker(&PlatformTextureData);
    }
    display->SetDisplay(width, height, fullscreen, false, false, mHostWindow != nullptr);

    bool firstSetUp = !mMainWindowState.screenMade;
    if (firstSetUp) {
        mMainWindowState.screenMade = true;
        SetVecDraw(std::make_unique<TBvMiniVecDraw>());
        GetFontCache().Get(TVecFontCache::kDefaultFontName);
        RECT root = windowsystemhooks::GetScreenRect(GetWindowManager());
        TRenderer::GetInstance()->FillRect(TRect{root.left, root.top, root.right, root.bottom},
                                           TVec4{0.0f, 0.0f, 0.0f, 0.0f}, nullptr);
    }

    display->CalibratePixelOffset();
    if (firstSetUp) mVecDraw->Calibrate();
    SetTimer(mMainWindow, kScreenTimerId, kScreenTimerPeriod, nullptr);
}
