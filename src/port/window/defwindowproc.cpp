// The default window procedure.
#include "port/window/activation.h"
#include "port/window/cursor.h"
#include "port/window/paint.h"
#include "port/window/vkeys.h"
#include "port/window/window.h"
#include "port/window/windowinternal.h"
#include "port/window/windowpos.h"

namespace port {
namespace {

struct Facts {
    bool found = false;
    HWND parent = nullptr;  // the parent of a child window, when it is one of the program's
    HWND topLevel = nullptr;
    HCURSOR classCursor = nullptr;
    bool classBrush = false;
    bool minimised = false;
    bool maximised = false;
    RECT client{};
};

Facts FactsOf(HWND handle) {
    Facts facts;
    WorldLock lock = LockWorld();
    WindowWorld& world = World();
    Window* window = FindLocked(world, handle);
    if (window == nullptr) return facts;
    facts.found = true;
    if (window->parent != nullptr && (window->style & WS_CHILD) != 0) facts.parent = window->parent;
    Window* top = TopLevelLocked(world, window);
    facts.topLevel = top != nullptr ? top->handle : nullptr;
    if (window->windowClass != nullptr) {
        facts.classCursor = window->windowClass->cursor;
        facts.classBrush = window->windowClass->background != nullptr;
    }
    facts.minimised = (window->style & WS_MINIMIZE) != 0;
    facts.maximised = (window->style & WS_MAXIMIZE) != 0;
    RECT client = ClientScreenRectLocked(world, *window);
    facts.client = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return facts;
}

LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return FactsOf(window).classBrush ? 1 : 0;
        case WM_NCHITTEST: {
            WorldLock lock = LockWorld();
            Window* found = FindLocked(World(), window);
            if (found == nullptr) return HTNOWHERE;
            return HitTestLocked(World(), *found,
                                 POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        }
        case WM_SETCURSOR: {
            Facts facts = FactsOf(window);
            if (facts.parent != nullptr && SendTo(facts.parent, WM_SETCURSOR, wParam, lParam)) {
                return TRUE;
            }
            if (LOWORD(static_cast<uintptr_t>(lParam)) == HTCLIENT) {
                if (facts.classCursor == nullptr) return FALSE;
                SetCursor(facts.classCursor);
                return TRUE;
            }
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            return TRUE;
        }
        case WM_MOUSEACTIVATE: {
            Facts facts = FactsOf(window);
            if (facts.parent != nullptr) {
                LRESULT answer = SendTo(facts.parent, WM_MOUSEACTIVATE, wParam, lParam);
                if (answer != 0) return answer;
            }
            return MA_ACTIVATE;
        }
        case WM_WINDOWPOSCHANGED: {
            const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (pos == nullptr) return 0;
            Facts facts = FactsOf(window);
            if ((pos->flags & SWP_NOMOVE) == 0) {
                POINT origin{0, 0};
                ClientToScreen(window, &origin);
                if (facts.parent != nullptr) ScreenToClient(facts.parent, &origin);
                SendTo(window, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
            }
            if ((pos->flags & SWP_NOSIZE) == 0 || (pos->flags & SWP_STATECHANGED) != 0) {
                WPARAM kind = facts.minimised   ? SIZE_MINIMIZED
                              : facts.maximised ? SIZE_MAXIMIZED
                                                : SIZE_RESTORED;
                LPARAM size =
                    facts.minimised ? 0 : MAKELPARAM(facts.client.right, facts.client.bottom);
                SendTo(window, WM_SIZE, kind, size);
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) SetFocus(window);
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (HIWORD(static_cast<uintptr_t>(lParam)) & KF_ALTDOWN) != 0) {
                Facts facts = FactsOf(window);
                if (facts.topLevel != nullptr) SendTo(facts.topLevel, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    SendTo(window, WM_CLOSE, 0, 0);
                    break;
                case SC_MINIMIZE:
                    ShowWindowInternal(window, SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindowInternal(window, SW_SHOWMAXIMIZED);
                    break;
                case SC_RESTORE:
                    ShowWindowInternal(window, SW_RESTORE);
                    break;
                default:
                    break;
            }
            return 0;
        case WM_MOUSEWHEEL: {
            Facts facts = FactsOf(window);
            if (facts.parent != nullptr) return SendTo(facts.parent, message, wParam, lParam);
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace
}  // namespace port

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return port::DefaultProc(window, message, wParam, lParam);
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return port::DefaultProc(window, message, wParam, lParam);
}
