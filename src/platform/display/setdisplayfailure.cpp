// What the display set-up does when the context could not make the display (step 19), in this
// order: a desktop of too few colours ends the program; embedded, or in a full screen that worked
// before, the display is marked broken for a later restore; a game that is not in front is left
// broken too; a window with a known reason goes to full screen; a failed fallback ends the game
// through its quit; otherwise the other mode is tried.
#include "foundation/log.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/setdisplayrun.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "port/window/activation.h"
#include "port/window/messagebox.h"

namespace setdisplay {
namespace {

// A full screen that worked before is given this long before the next restore tries again.
constexpr DWORD kBrokenFullscreenWait = 150;

// The box that tells why a window cannot be had; null when no reason is known.
const char* WindowRefusal(const TRun& run) {
    if (run.context.GetDesktopColours() != -1) return kPalettisedWindowBox;
    if (WindowExceedsDesktop(&run.context, run.width, run.height)) return kSmallWindowBox;
    if (run.context.IsOutOfVideoMemory()) return kWindowMemoryBox;
    return nullptr;
}

// The other mode, with force; the in-SetDisplay flag is cleared first so that it runs.
void TryMode(TRun& run, bool fullscreen) {
    run.record.mInSetDisplay = false;
    run.display.SetDisplay(run.width, run.height, fullscreen, true, false, false);
}

}  // namespace

void HandleCreateFailure(TRun& run) {
    TDisplayRecord& record = run.record;
    if (run.context.IsPalettized()) {
        if (!run.quiet) ShowBox(nullptr, kTooFewColoursBox, 0);
        record.mFatal = true;
        record.mFatalTime = TPlatform::GetTimer();
        Exit();
    }
    if (run.Host() != nullptr) {
        run.display.MarkBroken();
        return;
    }
    if (run.fullscreen && record.mFullscreenHasWorked) {
        run.display.MarkBroken();
        TPlatform::Sleep(kBrokenFullscreenWait);
        return;
    }
    bool foreground = GetForegroundWindow() == run.window;
    if (!record.mFallbackInProgress && !(run.active && foreground)) {
        LogPrintf("SetDisplay marking DirectX Broken: %s, %s", run.active ? "ACTIVE" : "INACTIVE",
                  foreground ? "FOREGROUND" : "BACKGROUND");
        run.display.MarkBroken();
        return;
    }
    if (!run.fullscreen) {
        if (const char* refusal = WindowRefusal(run); refusal != nullptr) {
            if (!run.quiet) ShowBox(nullptr, refusal, 0);
            record.mFallbackInProgress = true;
            TryMode(run, true);
            return;
        }
    }
    if (record.mFallbackInProgress) {
        LogPrintf("ERROR FALLBACK FAILED");
        ShowBox(run.window, kFallbackFailedBox, MB_ICONERROR);
        TPlatform::Quit(0);
        record.mFatal = true;
        record.mFatalTime = TPlatform::GetTimer();
        return;
    }
    record.mFallbackInProgress = true;
    if (run.fullscreen) {
        TryMode(run, false);
        if (!run.quiet) ShowBox(nullptr, kFullscreenFailedBox, 0);
    } else {
        if (!run.quiet) ShowBox(nullptr, kWindowFailedBox, 0);
        TryMode(run, true);
    }
}

}  // namespace setdisplay
