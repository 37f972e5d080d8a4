// TPlatformData: the display behind the main window. So far it holds only what start-up, the
// teardown, the cursor worker and the event pump ask of it: whether it is ready to draw (made and
// working), whether it is broken (its device lost), the full-screen flag, the clip rectangle, the
// working count, restoring after a loss, the desktop metrics and the cursor it applies. It owns
// the DirectX context (display/dxcontext.h), which keeps the mouse position. The display set-up
// makes it and the platform object (win32platform.h) owns it until the renderer is destroyed in
// the teardown.
//
// The flags are set on the main thread and read by the cursor worker, so they are atomic.
#pragma once

#include <atomic>
#include <memory>

#include "port/win32types.h"

class TDXContext;

class TPlatformData {
public:
    TPlatformData();
    ~TPlatformData();
    TPlatformData(const TPlatformData&) = delete;
    TPlatformData& operator=(const TPlatformData&) = delete;

    // Ready and not broken.
    bool IsReady() const { return mReady.load() && !mBroken.load(); }
    void SetReady(bool ready) { mReady.store(ready); }
    bool IsBroken() const { return mBroken.load(); }
    void SetBroken(bool broken) { mBroken.store(broken); }

    // Whether the display can draw: not broken.
    bool IsWorking() const { return !mBroken.load(); }
    // Brings a lost display back; the stand-in counts it as back (no longer broken).
    void Restore();
    // The number of scenes run since the last reset (the event pump resets it when the window
    // goes inactive).
    int GetWorkingCount() const { return mWorkingCount; }
    void ResetWorkingCount() { mWorkingCount = 0; }

    // Switches between a window and full screen; answers whether it did.
    bool SetFullscreen(bool fullscreen);
    bool IsFullscreen() const { return mFullscreen.load(); }

    // The rectangle drawing is clipped to (the screen's size after the set-up).
    RECT GetClipRect() const { return mClipRect; }
    void SetClipRect(int left, int top, int right, int bottom);

    // Reads the screen's width, height and colour count and hands them to the context.
    void UpdateDesktopMetrics();
    // Applies the Windows cursor with the platform's cursor-visible flag; answers true (the
    // display sets the cursor itself).
    bool ApplyCursor(bool visible);

    // The DirectX context (never null while the display exists).
    TDXContext* GetContext() const { return mContext.get(); }

private:
    std::atomic<bool> mReady{false};
    std::atomic<bool> mBroken{false};
    std::atomic<bool> mFullscreen{false};
    int mWorkingCount = 0;
    RECT mClipRect{};
    std::unique_ptr<TDXContext> mContext;
};
