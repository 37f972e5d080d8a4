#include "port/display/clipper.h"

#include "port/display/displaystate.h"
#include "port/failinjection.h"
#include "port/window/window.h"

namespace port::display {

Clipper::Clipper() : mId(NextObjectId()) {}

HRESULT Clipper::QueryInterface(const IID& iid, void** object) {
    ClearOut(object);
    return TracedCall("IDirectDrawClipper::QueryInterface", {{"clipper", mId}},
                      [&] { return QueryOwn(IID_IDirectDrawClipper, iid, object); });
}

HRESULT Clipper::SetHWnd(DWORD flags, HWND window) {
    return TracedCall("SetHWnd", {{"clipper", mId}}, [&] {
        if (flags != 0 || (window != nullptr && !IsWindow(window))) return DDERR_INVALIDPARAMS;
        std::lock_guard<std::mutex> lock(mMutex);
        mWindow = window;
        return DD_OK;
    });
}

HRESULT Clipper::GetHWnd(HWND* window) {
    if (window != nullptr) *window = nullptr;
    return TracedCall("GetHWnd", {{"clipper", mId}}, [&] {
        if (window == nullptr) return DDERR_INVALIDPARAMS;
        *window = Window();
        return DD_OK;
    });
}

HWND Clipper::Window() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mWindow;
}

}  // namespace port::display
