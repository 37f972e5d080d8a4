// TPlatformData::SetDisplay: the display in a window or full screen, with the modes forced by
// the desktop, the host window and the low-memory video mode; the device is made through the
// context (setdisplaydevice.cpp), with the fallbacks when it cannot be (setdisplayfailure.cpp);
// the main window's side is in setdisplaywindow.cpp, the boxes in setdisplayboxes.cpp. Besides,
// texture data from the display and the cursor image and visibility handed to the context.
#include "foundation/assetmanager.h"
#include "foundation/log.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/mouselock.h"
#include "platform/display/setdisplayrun.h"
#include "platform/onlinehooks.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "port/window/messagebox.h"

namespace {

// A refused re-entry, and a game lost in the background, wait this long before leaving.
constexpr DWORD kReentryWait = 50;
constexpr DWORD kBackgroundWait = 100;
// Embedded, a set-up is not run again this soon after the display was marked broken.
constexpr uint32_t kEmbeddedBrokenPause = 1000;
// Once the program cannot show anything, a set-up reached this long after (the quit it posted
// never acted on) ends the process.
constexpr uint32_t kFatalGrace = 30000;

// The in-SetDisplay flag, set for the run and cleared when it leaves (also when an exit hook
// returns by throwing, as in tests). A fallback clears it before its nested run.
class TInSetDisplay {
public:
    explicit TInSetDisplay(TDisplayRecord& record) : mRecord(record) {
        mRecord.mInSetDisplay = true;
    }
    ~TInSetDisplay() { mRecord.mInSetDisplay = false; }
    TInSetDisplay(const TInSetDisplay&) = delete;
    TInSetDisplay& operator=(const TInSetDisplay&) = delete;

private:
    TDisplayRecord& mRecord;
};

// A mode the desktop cannot give: with a host window (or hosted, for the memory), the box and
// the end; otherwise full screen, logged with the reason.
void ForceFullscreen(setdisplay::TRun& run, bool endHere, const char* box, const char* reason) {
    if (endHere) {
        setdisplay::ShowBox(nullptr, box, MB_ICONEXCLAMATION);
        setdisplay::Exit();
    }
    LogPrintf("SetDisplay Forcing Fullscreen (%s)", reason);
    run.fullscreen = true;
}

}  // namespace

void TPlatformData::SetDisplay(int width, int height, bool fullscreen, bool force, bool quiet,
                               bool childOfHost) {
    TDisplayRecord& record = *mRecord;
    TDXContext& context = *GetContext();
    // Held for the whole run: no other thread draws the cursor while the surfaces are replaced.
    TMouseLock lock(context.GetMouseMutex(), true);
    // A re-entry (a message handled inside a box or a window call) leaves the flag as the outer
    // run set it, so that a third entry is refused too.
    if (record.mInSetDisplay) {
        TPlatform::Sleep(kReentryWait);
        return;
    }
    TInSetDisplay inSetDisplay(record);
    if (record.mFatal) {
        // The quit posted with fatal ends the main loop in order (the game saves what it holds);
        // only a game that never acts on it is ended here.
        if (TPlatform::GetTimer() - record.mFatalTime >= kFatalGrace) setdisplay::Exit();
        return;
    }
    if (onlinehooks::ZylomMode()) {
        fullscreen = false;
        quiet = true;
    }
    TPlatform* application = TPlatform::GetInstance();
    TWin32Platform* platform = application != nullptr ? application->GetPlatform() : nullptr;
    if (platform == nullptr) return;
    TEventPumpState& pump = platform->GetPumpState();
    if (pump.lostInBackground) {
        TPlatform::Sleep(kBackgroundWait);
        return;
    }
    setdisplay::TRun run{
        *this, record, context,    *application, *platform, platform->GetMainWindow(),
        width, height, fullscreen, force,        quiet,     childOfHost};
    if (record.mLowMemoryVideo) {
        ForceFullscreen(run, platform->IsHostedMode(), setdisplay::kOutOfMemoryBox, "MEMORY");
    }
    // The activation the pump has not reported yet counts already.
    run.active = platform->IsActive();
    if (pump.appActivationChanged) run.active = run.active && pump.appActive;
    if (!run.active && !run.force) return;
    if (platform->IsEmbedded() && !platform->IsOwnWindowHost() && !setdisplay::AttachToHost(run)) {
        return;
    }
    bool hosted = run.Host() != nullptr;
    uint32_t now = TPlatform::GetTimer();
    if (hosted && record.mSetUpBefore && record.mBroken.load() &&
        now - record.mLastBrokenTime < kEmbeddedBrokenPause) {
        return;
    }
    record.mSetUpBefore = true;
    record.mWorkingCount = 0;
    if (!run.fullscreen && context.GetDesktopColours() != -1) {
        ForceFullscreen(run, hosted, setdisplay::kPalettisedHostBox, "PALLETTED");
    }
    if (run.fullscreen == record.mFullscreen.load() &&
        run.width == record.mTargetRect.right - record.mTargetRect.left &&
        run.height == record.mTargetRect.bottom - record.mTargetRect.top && !run.force) {
        return;
    }
    if (!run.fullscreen) {
        float scale = platform->GetScaleX();
        bool small = !platform->IsHostedMode() &&
                     WindowExceedsDesktop(&context, static_cast<int>(run.width * scale),
                                          static_cast<int>(run.height * scale));
        if (small) {
            ForceFullscreen(run, hosted, setdisplay::kSmallHostBox, "SMALL");
        } else if (context.IsOutOfVideoMemory()) {
            ForceFullscreen(run, hosted, setdisplay::kOutOfMemoryBox, "MEMORY");
        }
    }

    // From here the display is replaced: not ready until a set-up works.
    record.mReady.store(false);
    if (TAssetManager* assets = application->GetAssetManager()) assets->ReleaseAll();
    pump.displayRecreated = true;
    if (!hosted) setdisplay::SetWindowStyles(run);

    record.mFullscreen.store(run.fullscreen);
    RECT whole{0, 0, run.width, run.height};
    record.mClipRect = whole;
    record.mTargetRect = whole;
    record.mScreenRect = whole;
    record.mViewportRect = whole;
    record.mDirectDraw = nullptr;
    record.mDirect3D = nullptr;
    record.mDevice = nullptr;
    record.mBackBuffer = nullptr;
    record.mRenderTarget = nullptr;
    record.mBroken.store(false);
    TPlatform::SetConfig("dxbroken", "0");
    context.ReleaseDevice();

    if (record.mLowMemoryNoticePending) {
        setdisplay::ShowBox(run.window, setdisplay::kReconfiguringBox, MB_ICONEXCLAMATION,
                            "Reconfiguring");
        record.mLowMemoryNoticePending = false;
    }
    if (!setdisplay::CreateDevice(run)) {
        setdisplay::HandleCreateFailure(run);
        return;
    }
    setdisplay::FinishSetup(run);
}

std::unique_ptr<TTextureData> TPlatformData::CreateTextureData() {
    return std::make_unique<TDxTextureData>();
}

bool TPlatformData::SetMouseImage(const std::shared_ptr<TTexture>& texture, bool hardware, int hotX,
                                  int hotY) {
    return GetContext()->SetMouseImage(texture, hardware, hotX, hotY);
}

void TPlatformData::ShowCursor(bool shown) {
    GetContext()->ShowCursor(shown);
}
