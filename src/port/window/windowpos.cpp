#include "port/window/windowpos.h"

#include <algorithm>
#include <cstdint>

#include "port/failinjection.h"
#include "port/system/lasterror.h"
#include "port/window/metrics.h"
#include "port/window/windowinternal.h"

namespace port {
namespace {

bool Contains(const RECT& rect, POINT point) {
    return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
           point.y < rect.bottom;
}

void Offset(RECT& rect, int dx, int dy) {
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
}

void ApplyZOrderLocked(WindowWorld& world, Window& window, HWND after) {
    bool topLevel = window.parent == nullptr;
    // HWND_NOTOPMOST leaves a window that is not topmost where it is.
    if (after == HWND_NOTOPMOST && topLevel && (window.exStyle & WS_EX_TOPMOST) == 0) return;
    if (after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        if (topLevel) {
            if (after == HWND_TOPMOST) {
                window.exStyle |= WS_EX_TOPMOST;
            } else {
                window.exStyle &= ~WS_EX_TOPMOST;
            }
        }
        RaiseLocked(world, window.handle);
        return;
    }
    if (after == HWND_TOP) {
        RaiseLocked(world, window.handle);
        return;
    }
    std::vector<HWND>& siblings = SiblingsLocked(world, &window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window.handle), siblings.end());
    if (after == HWND_BOTTOM) {
        if (topLevel) window.exStyle &= ~WS_EX_TOPMOST;
        siblings.push_back(window.handle);
        return;
    }
    auto position = std::find(siblings.begin(), siblings.end(), after);
    if (position == siblings.end()) {
        siblings.insert(siblings.begin(), window.handle);
        return;
    }
    if (topLevel) {
        Window* other = FindLocked(world, after);
        window.exStyle = (window.exStyle & ~WS_EX_TOPMOST) |
                         (other != nullptr ? other->exStyle & WS_EX_TOPMOST : 0);
    }
    siblings.insert(position + 1, window.handle);
}

// Moves, sizes, stacks and shows as the final WINDOWPOS says, then activates and reports.
BOOL ApplyWindowPos(WINDOWPOS pos) {
    bool foreign = false;
    bool hidden = false;
    bool activate = false;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        Window* window = FindLocked(world, pos.hwnd);
        if (window == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        foreign = window->foreign;
        RECT old = window->rect;
        RECT rect = old;
        // The window procedure may have put anything into the WINDOWPOS.
        if ((pos.flags & SWP_NOMOVE) == 0) {
            int x = ClampPosition(pos.x);
            int y = ClampPosition(pos.y);
            rect = RECT{x, y, x + (old.right - old.left), y + (old.bottom - old.top)};
        }
        if ((pos.flags & SWP_NOSIZE) == 0) {
            rect.right = rect.left + ClampSize(pos.cx);
            rect.bottom = rect.top + ClampSize(pos.cy);
        }
        window->rect = rect;
        bool moved = rect.left != old.left || rect.top != old.top;
        bool resized = rect.right - rect.left != old.right - old.left ||
                       rect.bottom - rect.top != old.bottom - old.top;
        if ((pos.flags & SWP_NOZORDER) == 0) ApplyZOrderLocked(world, *window, pos.hwndInsertAfter);
        bool shown = false;
        if ((pos.flags & SWP_SHOWWINDOW) != 0 && (window->style & WS_VISIBLE) == 0) {
            window->style |= WS_VISIBLE;
            shown = true;
        }
        if ((pos.flags & SWP_HIDEWINDOW) != 0 && (window->style & WS_VISIBLE) != 0) {
            window->style &= ~WS_VISIBLE;
            hidden = true;
        }
        bool redrawClass = window->windowClass != nullptr &&
                           (window->windowClass->style & (CS_HREDRAW | CS_VREDRAW)) != 0;
        if ((pos.flags & SWP_NOREDRAW) == 0 &&
            (shown || (resized && redrawClass) || (pos.flags & SWP_STATECHANGED) != 0)) {
            InvalidateLocked(*window, nullptr, true);
        }
        if ((pos.flags & SWP_STATECHANGED) == 0) {
            if (!moved) pos.flags |= SWP_NOMOVE;
            if (!resized) pos.flags |= SWP_NOSIZE;
        }
        pos.x = rect.left;
        pos.y = rect.top;
        pos.cx = rect.right - rect.left;
        pos.cy = rect.bottom - rect.top;
        activate = (pos.flags & SWP_NOACTIVATE) == 0 && !foreign && window->parent == nullptr &&
                   (window->style & (WS_VISIBLE | WS_MINIMIZE)) == WS_VISIBLE;
    }
    if (hidden) PassForegroundOn(pos.hwnd);
    if (activate) ChangeForeground(pos.hwnd, false);
    if (!foreign) SendTo(pos.hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    NotifyChanged(pos.hwnd);
    WorldLock lock = LockWorld();
    CheckTrackingLocked(World());
    return TRUE;
}

// Minimise, maximise and restore: the style first (so that the window sees its new state in
// the WINDOWPOS messages), then the move.
enum class State { Minimised, Maximised, Normal };

void ChangeState(HWND handle, State state, bool show, bool activate) {
    WINDOWPOS pos{handle,
                  nullptr,
                  0,
                  0,
                  0,
                  0,
                  SWP_STATECHANGED | SWP_NOZORDER | SWP_FRAMECHANGED | (show ? SWP_SHOWWINDOW : 0) |
                      (activate ? 0 : SWP_NOACTIVATE)};
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        Window* window = FindLocked(world, handle);
        if (window == nullptr) return;
        bool normal = (window->style & (WS_MINIMIZE | WS_MAXIMIZE)) == 0;
        if (normal && state != State::Normal) window->restoreRect = window->rect;
        if (state == State::Minimised) {
            window->restoreMaximized = (window->style & WS_MAXIMIZE) != 0;
            window->style = (window->style | WS_MINIMIZE) & ~WS_MAXIMIZE;
            pos.x = pos.y = MINIMIZED_POSITION;
            pos.cx = GetSystemMetrics(SM_CXMINIMIZED);
            pos.cy = GetSystemMetrics(SM_CYMINIMIZED);
        } else if (state == State::Maximised) {
            window->style = (window->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
            RECT area{};
            if (Window* parent = window->parent ? FindLocked(world, window->parent) : nullptr) {
                RECT client = ClientScreenRectLocked(world, *parent);
                area = RECT{0, 0, client.right - client.left, client.bottom - client.top};
            } else {
                SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
            }
            // The sizing frame lies outside the area, as on Windows.
            Frame frame = FrameLocked(*window);
            pos.x = area.left - frame.left;
            pos.y = area.top - frame.bottom;
            pos.cx = area.right - area.left + frame.left + frame.right;
            pos.cy = area.bottom - area.top + 2 * frame.bottom;
        } else {
            window->style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
            const RECT& back = window->restoreRect;
            pos.x = back.left;
            pos.y = back.top;
            pos.cx = back.right - back.left;
            pos.cy = back.bottom - back.top;
        }
        if (window->foreign) {
            pos.flags |= SWP_NOSENDCHANGING;
        }
    }
    if ((pos.flags & SWP_NOSENDCHANGING) == 0) {
        SendTo(handle, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    }
    ApplyWindowPos(pos);
}

}  // namespace

Frame FrameOf(DWORD style, DWORD exStyle, bool hasMenu) {
    int x = 0;
    int y = 0;
    if ((style & WS_THICKFRAME) != 0) {
        x = GetSystemMetrics(SM_CXSIZEFRAME);
        y = GetSystemMetrics(SM_CYSIZEFRAME);
    } else if ((style & WS_DLGFRAME) != 0 || (exStyle & WS_EX_DLGMODALFRAME) != 0) {
        x = GetSystemMetrics(SM_CXFIXEDFRAME);
        y = GetSystemMetrics(SM_CYFIXEDFRAME);
    } else if ((style & WS_BORDER) != 0) {
        x = GetSystemMetrics(SM_CXBORDER);
        y = GetSystemMetrics(SM_CYBORDER);
    }
    if ((exStyle & WS_EX_CLIENTEDGE) != 0) {
        x += GetSystemMetrics(SM_CXEDGE);
        y += GetSystemMetrics(SM_CYEDGE);
    }
    Frame frame{x, y, x, y};
    if ((style & WS_CAPTION) == WS_CAPTION) {
        frame.top +=
            GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) != 0 ? SM_CYSMCAPTION : SM_CYCAPTION);
    }
    if (hasMenu) frame.top += GetSystemMetrics(SM_CYMENU);
    return frame;
}

Frame FrameLocked(const Window& window) {
    if (window.foreign) return Frame{};
    return FrameOf(window.style, window.exStyle,
                   window.menu != nullptr && window.parent == nullptr);
}

RECT ScreenRectLocked(WindowWorld& world, const Window& window) {
    RECT rect = window.rect;
    if (window.parent != nullptr) {
        if (Window* parent = FindLocked(world, window.parent)) {
            RECT client = ClientScreenRectLocked(world, *parent);
            Offset(rect, client.left, client.top);
        }
    }
    return rect;
}

RECT ClientScreenRectLocked(WindowWorld& world, const Window& window) {
    RECT rect = ScreenRectLocked(world, window);
    if ((window.style & WS_MINIMIZE) != 0) return RECT{rect.left, rect.top, rect.left, rect.top};
    Frame frame = FrameLocked(window);
    RECT client{rect.left + frame.left, rect.top + frame.top, rect.right - frame.right,
                rect.bottom - frame.bottom};
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    return client;
}

LRESULT HitTestLocked(WindowWorld& world, const Window& window, POINT point) {
    RECT rect = ScreenRectLocked(world, window);
    if (!Contains(rect, point)) return HTNOWHERE;
    if ((window.style & WS_MINIMIZE) != 0) return HTCAPTION;
    if (Contains(ClientScreenRectLocked(world, window), point)) return HTCLIENT;
    Frame frame = FrameLocked(window);
    int borderX = frame.left;
    int borderY = frame.bottom;
    bool left = point.x < rect.left + borderX;
    bool right = point.x >= rect.right - borderX;
    bool top = point.y < rect.top + borderY;
    bool bottom = point.y >= rect.bottom - borderY;
    if ((window.style & WS_THICKFRAME) != 0 && (left || right || top || bottom)) {
        // Corners reach along each edge as far as a caption button and the frame.
        int cornerX = GetSystemMetrics(SM_CXSIZE) + borderX;
        int cornerY = GetSystemMetrics(SM_CYSIZE) + borderY;
        bool nearLeft = point.x < rect.left + cornerX;
        bool nearRight = point.x >= rect.right - cornerX;
        bool nearTop = point.y < rect.top + cornerY;
        bool nearBottom = point.y >= rect.bottom - cornerY;
        if (top) return nearLeft ? HTTOPLEFT : nearRight ? HTTOPRIGHT : HTTOP;
        if (bottom) return nearLeft ? HTBOTTOMLEFT : nearRight ? HTBOTTOMRIGHT : HTBOTTOM;
        if (left) return nearTop ? HTTOPLEFT : nearBottom ? HTBOTTOMLEFT : HTLEFT;
        return nearTop ? HTTOPRIGHT : nearBottom ? HTBOTTOMRIGHT : HTRIGHT;
    }
    if (left || right || top || bottom) return HTBORDER;
    if ((window.style & WS_CAPTION) == WS_CAPTION) {
        int captionBottom = rect.top + borderY + GetSystemMetrics(SM_CYCAPTION);
        if (point.y < captionBottom) {
            int button = GetSystemMetrics(SM_CXSIZE);
            int edge = rect.right - borderX;
            if ((window.style & WS_SYSMENU) != 0) {
                if (point.x >= edge - button) return HTCLOSE;
                edge -= button;
            }
            if ((window.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0) {
                if (point.x >= edge - button) return HTMAXBUTTON;
                if (point.x >= edge - 2 * button) return HTMINBUTTON;
            }
            if ((window.style & WS_SYSMENU) != 0 && point.x < rect.left + borderX + button) {
                return HTSYSMENU;
            }
            return HTCAPTION;
        }
    }
    if (window.menu != nullptr && window.parent == nullptr) return HTMENU;
    return HTBORDER;
}

namespace {

Window* DeepestLocked(WindowWorld& world, Window* window, POINT point) {
    for (HWND handle : window->children) {
        Window* child = FindLocked(world, handle);
        if (child == nullptr || (child->style & WS_VISIBLE) == 0) continue;
        if (Contains(ScreenRectLocked(world, *child), point)) {
            return DeepestLocked(world, child, point);
        }
    }
    return window;
}

}  // namespace

Window* WindowFromPointLocked(WindowWorld& world, POINT point, bool* client) {
    *client = false;
    for (HWND handle : world.zOrder) {
        Window* window = FindLocked(world, handle);
        if (window == nullptr || (window->style & (WS_VISIBLE | WS_MINIMIZE)) != WS_VISIBLE) {
            continue;
        }
        if (!Contains(ScreenRectLocked(world, *window), point)) continue;
        Window* found = DeepestLocked(world, window, point);
        *client = Contains(ClientScreenRectLocked(world, *found), point);
        return found;
    }
    return nullptr;
}

BOOL SetWindowPosInternal(HWND handle, HWND after, int x, int y, int width, int height,
                          UINT flags) {
    WINDOWPOS pos{handle, after, x, y, width, height, flags & ~SWP_STATECHANGED};
    bool foreign = false;
    {
        WorldLock lock = LockWorld();
        Window* window = FindLocked(World(), handle);
        if (window == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        foreign = window->foreign;
        if ((flags & SWP_NOMOVE) != 0) {
            pos.x = window->rect.left;
            pos.y = window->rect.top;
        } else {
            pos.x = ClampPosition(x);
            pos.y = ClampPosition(y);
        }
        if ((flags & SWP_NOSIZE) != 0) {
            pos.cx = window->rect.right - window->rect.left;
            pos.cy = window->rect.bottom - window->rect.top;
        } else {
            pos.cx = ClampSize(width);
            pos.cy = ClampSize(height);
        }
    }
    if (!foreign && (flags & SWP_NOSENDCHANGING) == 0) {
        SendTo(handle, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    }
    return ApplyWindowPos(pos);
}

BOOL ShowWindowInternal(HWND handle, int command) {
    bool visible = false;
    bool minimised = false;
    bool maximised = false;
    bool child = false;
    bool foreign = false;
    {
        WorldLock lock = LockWorld();
        Window* window = FindLocked(World(), handle);
        if (window == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        visible = (window->style & WS_VISIBLE) != 0;
        minimised = (window->style & WS_MINIMIZE) != 0;
        maximised = (window->style & WS_MAXIMIZE) != 0;
        child = window->parent != nullptr;
        foreign = window->foreign;
    }
    auto announce = [&](bool show) {
        if (!foreign && show != visible) SendTo(handle, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    };
    UINT showFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    switch (command) {
        case SW_HIDE:
            if (!visible) return FALSE;
            announce(false);
            SetWindowPosInternal(handle, nullptr, 0, 0, 0, 0,
                                 showFlags | SWP_HIDEWINDOW | SWP_NOACTIVATE);
            return TRUE;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
            announce(true);
            if (!minimised) {
                ChangeState(handle, State::Minimised, !visible, false);
            } else if (!visible) {
                SetWindowPosInternal(handle, nullptr, 0, 0, 0, 0,
                                     showFlags | SWP_SHOWWINDOW | SWP_NOACTIVATE);
            }
            if (command != SW_SHOWMINIMIZED) PassForegroundOn(handle);
            return visible ? TRUE : FALSE;
        case SW_SHOWMAXIMIZED:
        case SW_SHOWNORMAL:
        case SW_RESTORE:
        case SW_SHOWNOACTIVATE:
        case SW_SHOW:
        case SW_SHOWNA: {
            announce(true);
            // Child windows are never activated; the others are, unless asked not to.
            bool activate =
                command != SW_SHOWNOACTIVATE && command != SW_SHOWNA && !child && !foreign;
            bool normal =
                command == SW_SHOWNORMAL || command == SW_RESTORE || command == SW_SHOWNOACTIVATE;
            bool backToMaximised = false;
            if (command == SW_RESTORE && minimised) {
                // Restoring a window minimised from maximised maximises it again.
                WorldLock lock = LockWorld();
                Window* window = FindLocked(World(), handle);
                backToMaximised = window != nullptr && window->restoreMaximized;
            }
            if ((command == SW_SHOWMAXIMIZED && !maximised) || backToMaximised) {
                ChangeState(handle, State::Maximised, !visible, activate);
            } else if (normal && (minimised || maximised)) {
                ChangeState(handle, State::Normal, !visible, activate);
            } else if (!visible) {
                SetWindowPosInternal(handle, nullptr, 0, 0, 0, 0,
                                     showFlags | SWP_SHOWWINDOW | (activate ? 0 : SWP_NOACTIVATE));
            } else if (activate) {
                ChangeForeground(handle, false);
            }
            return visible ? TRUE : FALSE;
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
}

}  // namespace port

using port::LockWorld;
using port::World;
using port::WorldLock;

namespace {

// The caller's point may lie anywhere in the int range: the sum wraps around as the machine's
// 32-bit addition does on Windows, instead of overflowing.
LONG AddWrapping(LONG value, LONG by) {
    return static_cast<LONG>(static_cast<uint32_t>(value) + static_cast<uint32_t>(by));
}

// Runs a geometry query on a window with the world locked; FALSE for a missing window or
// output.
template <typename Out, typename Query>
BOOL QueryWindow(HWND handle, Out* out, Query query) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindLocked(World(), handle);
    if (window == nullptr || out == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    query(*window, *out);
    return TRUE;
}

}  // namespace

BOOL GetClientRect(HWND handle, RECT* rect) {
    return QueryWindow(handle, rect, [](const port::Window& window, RECT& out) {
        RECT client = port::ClientScreenRectLocked(World(), window);
        out = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    });
}

BOOL GetWindowRect(HWND handle, RECT* rect) {
    return QueryWindow(handle, rect, [](const port::Window& window, RECT& out) {
        out = port::ScreenRectLocked(World(), window);
    });
}

BOOL ClientToScreen(HWND handle, POINT* point) {
    return QueryWindow(handle, point, [](const port::Window& window, POINT& out) {
        RECT client = port::ClientScreenRectLocked(World(), window);
        out.x = AddWrapping(out.x, client.left);
        out.y = AddWrapping(out.y, client.top);
    });
}

BOOL ScreenToClient(HWND handle, POINT* point) {
    return QueryWindow(handle, point, [](const port::Window& window, POINT& out) {
        RECT client = port::ClientScreenRectLocked(World(), window);
        out.x = AddWrapping(out.x, -client.left);
        out.y = AddWrapping(out.y, -client.top);
    });
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL hasMenu, DWORD exStyle) {
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    port::Frame frame = port::FrameOf(style, exStyle, hasMenu != FALSE);
    // Saturating: a caller's rectangle may lie anywhere in the int range.
    auto grow = [](LONG value, int by) {
        int64_t grown = static_cast<int64_t>(value) + by;
        return static_cast<LONG>(std::clamp<int64_t>(grown, INT32_MIN, INT32_MAX));
    };
    rect->left = grow(rect->left, -frame.left);
    rect->top = grow(rect->top, -frame.top);
    rect->right = grow(rect->right, frame.right);
    rect->bottom = grow(rect->bottom, frame.bottom);
    return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    if (port::ShouldFail("SetWindowPos")) return FALSE;
    return port::SetWindowPosInternal(window, insertAfter, x, y, width, height, flags);
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    if (port::ShouldFail("MoveWindow")) return FALSE;
    return port::SetWindowPosInternal(window, nullptr, x, y, width, height,
                                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND window, int command) {
    return port::ShowWindowInternal(window, command);
}
