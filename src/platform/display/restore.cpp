// TPlatformData::Restore: brings the display back after its surfaces were lost (another program
// took the screen, the player switched away from full screen, the display mode changed, video
// memory ran out). Drawing code never recovers by itself: it marks the display broken, and the
// event pump's idle and paint turns and the frame's begin and end call this.
//
// The outcome is never reported to the caller: it shows only in the broken flag, the setting
// "dxbroken" and the display's ready flag. Whatever cannot be restored in place is set up again
// with SetDisplay; a set-up that fails leaves the display broken for the pump's next idle turn.
//
// Main thread only. The in-restore flag stops re-entry from what this runs itself (the set-up's
// message boxes, which pump messages, and asset restores that draw).
#include "foundation/assetmanager.h"
#include "foundation/log.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxerror.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/display/ddraw.h"
#include "port/display/ddresult.h"

namespace {

// A re-entered restore waits this long before it returns.
constexpr DWORD kReentryWait = 50;
// The wait of a window lost in the background, and of each pass on a failed cooperation test.
constexpr DWORD kLostWait = 100;
// Passes on a failed cooperation test before giving up until the next call.
constexpr int kCooperationPasses = 5;
// Scenes that must have run since the last set-up for the device to count as surviving: fewer,
// and a restore of the surfaces would only fail again, so the display is rebuilt.
constexpr uint32_t kSurvivingScenes = 3;

// The platform object's flags as Restore reads them; without one nothing is lost in the background
// and there is no active window to set up again in.
bool IsLostInBackground() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr && application->GetPlatform()->GetPumpState().lostInBackground;
}

bool IsWindowActive() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr && application->GetPlatform()->IsActive();
}

HWND MainWindow() {
    TPlatform* application = TPlatform::GetInstance();
    return application != nullptr ? application->GetPlatform()->GetMainWindow() : nullptr;
}

// The display's current size (its target rectangle) and mode, set up again. quiet: no boxes.
void SetUpAgain(TPlatformData& display, bool quiet) {
    const TDisplayRecord& record = *display.GetRecord();
    const RECT& target = record.mTargetRect;
    display.SetDisplay(target.right - target.left, target.bottom - target.top,
                       record.mFullscreen.load(), true, quiet, false);
}

void MarkWindowsDirty() {
    if (TPlatform* application = TPlatform::GetInstance()) {
        windowsystemhooks::MarkDirty(application->GetWindowManager());
    }
}

// Steps 2 to 7 of a restore, inside the in-restore flag.
void RestoreSteps(TPlatformData& display) {
    TDisplayRecord& record = *display.GetRecord();

    // Minimised, off screen, or deactivated in full screen: the pump calls again once the window
    // is back.
    if (IsLostInBackground()) {
        TPlatform::Sleep(kLostWait);
        return;
    }

    // Every asset lets go of its device objects before anything is made again.
    if (TAssetManager* assets = GetAssetManager()) assets->ReleaseAll();

    // No display at all, or video memory ran out: only a new set-up helps (it shows the
    // "Reconfiguring" box for the low-memory mode).
    IDirectDraw7* directDraw = record.mDirectDraw;
    if (directDraw == nullptr || record.mLowMemoryNoticePending) {
        LogPrintf("TPlatformData::Restore: mDirectDraw NULL. Calling SetDisplay()");
        SetUpAgain(display, true);
        return;
    }

    // The passes work on the status in hand: the first test's, then SetCooperativeLevel's. The
    // test is not asked again, so a restore ends within about half a second.
    HRESULT status = directDraw->TestCooperativeLevel();
    if (FAILED(status)) {
        for (int pass = 0; pass < kCooperationPasses; ++pass) {
            // The display mode changed under us.
            if (status == DDERR_WRONGMODE) {
                SetUpAgain(display, false);
                return;
            }
            if (!IsWindowActive()) return;
            TPlatform::Sleep(kLostWait);
            // Another program holds exclusive mode: try again at a later turn.
            if (status == DDERR_EXCLUSIVEMODEALREADYSET) return;
            // The game lost exclusive mode: ask for it again.
            if (status == DDERR_NOEXCLUSIVEMODE) {
                status = directDraw->SetCooperativeLevel(MainWindow(),
                                                         DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
            }
            if (!FAILED(status)) {
                if (status != DD_OK) LOG_DX_ERROR(status);
                LogPrintf("Restore: Test Cooperative level failed. Calling SetDisplay");
                SetUpAgain(display, false);
                return;
            }
        }
        return;
    }

    if (record.mWorkingCount < kSurvivingScenes) {
        if (!IsWindowActive()) {
            display.MarkBroken();
            return;
        }
        LogPrintf("TPlatformData::Restore: Working count too small (%d). Calling SetDisplay()",
                  static_cast<int>(record.mWorkingCount));
        SetUpAgain(display, false);
        return;
    }

    record.mWorkingCount = 0;
    record.mBroken.store(false);
    TPlatform::SetConfig("dxbroken", "0");
    HRESULT restored = directDraw->RestoreAllSurfaces();
    if (!FAILED(restored)) {
        display.RestoreAssets();
        MarkWindowsDirty();
        return;
    }
    if (restored == DDERR_WRONGMODE) {
        LogPrintf("Restore: RestoreAllSurfaces resulted in DDERR_WRONGMODE. Calling SetDisplay.");
    } else {
        LogPrintf("RestoreAllSurfaces failed!\n");
        // Out of video memory also switches to the low-memory mode here.
        LOG_DX_ERROR(restored);
    }
    SetUpAgain(display, false);
}

}  // namespace

void TPlatformData::Restore() {
    TDisplayRecord& record = *mRecord;
    if (record.mInRestore) {
        // The outer call keeps the flag and finishes the work.
        MarkBroken();
        TPlatform::Sleep(kReentryWait);
        return;
    }
    record.mInRestore = true;
    RestoreSteps(*this);
    record.mInRestore = false;
}
