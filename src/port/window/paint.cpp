#include "port/window/paint.h"

#include <algorithm>
#include <vector>

#include "port/system/lasterror.h"
#include "port/window/gdi.h"
#include "port/window/windowinternal.h"

namespace port {
namespace {

RECT ClientArea(const Window& window) {
    if ((window.style & WS_MINIMIZE) != 0) return RECT{0, 0, 0, 0};
    Frame frame = FrameLocked(window);
    int width = window.rect.right - window.rect.left - frame.left - frame.right;
    int height = window.rect.bottom - window.rect.top - frame.top - frame.bottom;
    return RECT{0, 0, std::max(width, 0), std::max(height, 0)};
}

bool IsEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

}  // namespace

void InvalidateLocked(Window& window, const RECT* rect, bool erase) {
    if (window.foreign) return;
    RECT area = ClientArea(window);
    if (rect != nullptr) {
        area = RECT{std::max(area.left, rect->left), std::max(area.top, rect->top),
                    std::min(area.right, rect->right), std::min(area.bottom, rect->bottom)};
    }
    if (IsEmpty(area)) return;
    if (window.invalid) {
        const RECT& old = window.invalidRect;
        area = RECT{std::min(area.left, old.left), std::min(area.top, old.top),
                    std::max(area.right, old.right), std::max(area.bottom, old.bottom)};
    }
    window.invalid = true;
    window.invalidRect = area;
    window.erase = window.erase || erase;
}

}  // namespace port

using port::LockWorld;
using port::World;
using port::WorldLock;

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase) {
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    if (handle == nullptr) {
        for (auto& entry : world.windows) {
            if (!entry.second->destroyed) port::InvalidateLocked(*entry.second, nullptr, erase);
        }
        return TRUE;
    }
    port::Window* window = port::FindLocked(world, handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    port::InvalidateLocked(*window, rect, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND handle, const RECT* rect) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindLocked(World(), handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // One bounding rectangle cannot lose a part: it goes only when the whole is validated.
    const RECT& invalid = window->invalidRect;
    if (rect == nullptr || (rect->left <= invalid.left && rect->top <= invalid.top &&
                            rect->right >= invalid.right && rect->bottom >= invalid.bottom)) {
        window->invalid = false;
        window->erase = false;
    }
    return TRUE;
}

BOOL GetUpdateRect(HWND handle, RECT* rect, BOOL) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindLocked(World(), handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (rect != nullptr) *rect = window->invalid ? window->invalidRect : RECT{0, 0, 0, 0};
    return window->invalid ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND handle) {
    bool paint = false;
    {
        WorldLock lock = LockWorld();
        port::WindowWorld& world = World();
        port::Window* window = port::FindOwnLocked(world, handle);
        if (window == nullptr) return FALSE;
        paint = window->invalid && port::IsVisibleLocked(world, window);
    }
    if (paint) port::SendTo(handle, WM_PAINT, 0, 0);
    return TRUE;
}

HDC BeginPaint(HWND handle, PAINTSTRUCT* paint) {
    if (paint == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool erase = false;
    RECT area{};
    {
        WorldLock lock = LockWorld();
        port::Window* window = port::FindOwnLocked(World(), handle);
        if (window == nullptr) return nullptr;
        area = window->invalid ? window->invalidRect : RECT{0, 0, 0, 0};
        erase = window->erase;
        window->invalid = false;
        window->erase = false;
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = GetDC(handle);
    paint->rcPaint = area;
    paint->fErase = FALSE;
    if (erase) {
        paint->fErase =
            port::SendTo(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(paint->hdc), 0) == 0;
    }
    return paint->hdc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    if (paint != nullptr && paint->hdc != nullptr) ReleaseDC(handle, paint->hdc);
    return TRUE;
}
