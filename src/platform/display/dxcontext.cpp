#include "platform/display/dxcontext.h"

#include "platform/platform.h"
#include "platform/win32platform.h"
#include "port/window/cursor.h"
#include "port/window/gdi.h"
#include "port/window/input.h"
#include "port/window/windowpos.h"

namespace {

float DisplayScale() {
    TPlatform* application = TPlatform::GetInstance();
    float scale = application != nullptr ? application->GetPlatform()->GetScaleX() : 1.0f;
    return scale > 0.0f ? scale : 1.0f;
}

}  // namespace

TDXContext::TDXContext() {
    HDC screen = GetDC(nullptr);
    mDesktopColours = GetDeviceCaps(screen, NUMCOLORS);
    mDesktopWidth = GetDeviceCaps(screen, HORZRES);
    mDesktopHeight = GetDeviceCaps(screen, VERTRES);
    ReleaseDC(nullptr, screen);
    mWindowRect = ReadWindowRect();
}

TDXContext::~TDXContext() = default;

RECT TDXContext::ReadWindowRect() {
    TPlatform* application = TPlatform::GetInstance();
    HWND window = application != nullptr ? application->GetPlatform()->GetMainWindow() : nullptr;
    RECT rect{};
    if (window == nullptr || !GetClientRect(window, &rect)) {
        return RECT{};
    }
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return RECT{origin.x, origin.y, origin.x + rect.right, origin.y + rect.bottom};
}

void TDXContext::ResetMouse() {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    mPosition = POINT{-1, -1};
    mLastPosition = POINT{-1, -1};
    mSaveIndex = 0;
    mShown = false;
    mDrawn = false;
    mWindowRect = ReadWindowRect();
}

POINT TDXContext::UpdateMousePosition() {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    float scale = DisplayScale();
    mPosition.x = static_cast<LONG>(static_cast<float>(cursor.x - mWindowRect.left) / scale);
    mPosition.y = static_cast<LONG>(static_cast<float>(cursor.y - mWindowRect.top) / scale);
    return mPosition;
}

POINT TDXContext::GetMousePosition() const {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    return mPosition;
}

void TDXContext::OnWindowMoved() {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    RECT rect = ReadWindowRect();
    if (rect.left != mWindowRect.left || rect.top != mWindowRect.top ||
        rect.right != mWindowRect.right || rect.bottom != mWindowRect.bottom) {
        mWindowRect = rect;
        mDrawn = false;
        UpdateMousePosition();
    }
}

POINT TDXContext::MoveMouse(POINT windowPoint) {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    float scale = DisplayScale();
    mShown = true;
    mPosition.x = static_cast<LONG>(static_cast<float>(windowPoint.x) / scale);
    mPosition.y = static_cast<LONG>(static_cast<float>(windowPoint.y) / scale);
    return mPosition;
}

void TDXContext::EraseMouse() {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    mDrawn = false;
    if (mShown) {
        ResetMouse();
    }
}

bool TDXContext::IsCursorShown() const {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    return mShown;
}

bool TDXContext::IsCursorDrawn() const {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    return mDrawn;
}

void TDXContext::ApplyCursor(bool show) {
    SetCursor(show && mWindowsCursor != nullptr && mWindowed ? mWindowsCursor : nullptr);
}

void TDXContext::SetDesktopInfo(int colours, int width, int height) {
    mDesktopColours = colours;
    mDesktopWidth = width;
    mDesktopHeight = height;
}

RECT TDXContext::GetWindowRect() const {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    return mWindowRect;
}

POINT TDXContext::GetWindowOrigin() const {
    std::lock_guard<std::recursive_mutex> lock(mMouseMutex);
    return POINT{mWindowRect.left, mWindowRect.top};
}
