// Internal: a DirectDraw clipper, which only remembers the window whose client area clips the
// blits onto the primary it is set on. Any thread may call it.
#pragma once

#include <atomic>
#include <mutex>

#include "port/display/ddraw.h"
#include "port/refcounted.h"

namespace port::display {

class Clipper final : public RefCounted<IDirectDrawClipper> {
public:
    // Starts with one reference, its creator's.
    Clipper();

    // Our clippers are the only implementation of the interface.
    static Clipper* From(IDirectDrawClipper* clipper) { return static_cast<Clipper*>(clipper); }

    HRESULT QueryInterface(const IID& iid, void** object) override;
    HRESULT SetHWnd(DWORD flags, HWND window) override;
    HRESULT GetHWnd(HWND* window) override;

    uint32_t Id() const { return mId; }
    HWND Window() const;

private:
    ~Clipper() override = default;

    const uint32_t mId;
    mutable std::mutex mMutex;
    HWND mWindow = nullptr;  // under mMutex
};

}  // namespace port::display
