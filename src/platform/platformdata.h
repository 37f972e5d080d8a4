// TPlatformData: the display behind the main window. So far it holds only what start-up, the
// teardown and the cursor worker ask of it: whether it is ready to draw (made and working) and
// whether it is broken (its device lost). The display set-up makes it and the platform object
// (win32platform.h) owns it until the renderer is destroyed in the teardown.
//
// The flags are set on the main thread and read by the cursor worker, so they are atomic.
#pragma once

#include <atomic>

class TPlatformData {
public:
    TPlatformData() = default;
    TPlatformData(const TPlatformData&) = delete;
    TPlatformData& operator=(const TPlatformData&) = delete;

    // Ready and not broken.
    bool IsReady() const { return mReady.load() && !mBroken.load(); }
    void SetReady(bool ready) { mReady.store(ready); }
    bool IsBroken() const { return mBroken.load(); }
    void SetBroken(bool broken) { mBroken.store(broken); }

private:
    std::atomic<bool> mReady{false};
    std::atomic<bool> mBroken{false};
};
