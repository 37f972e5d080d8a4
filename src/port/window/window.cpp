#include "port/window/window.h"

#include <algorithm>
#include <cstring>

#include "port/failinjection.h"
#include "port/system/lasterror.h"
#include "port/system/textconv.h"
#include "port/window/activation.h"
#include "port/window/backend.h"
#include "port/window/control.h"
#include "port/window/windowinternal.h"
#include "port/window/windowpos.h"

namespace port {
namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// Class names may be atoms: small numbers in place of a pointer.
template <typename Char>
bool IsAtom(const Char* name) {
    return reinterpret_cast<uintptr_t>(name) < 0x10000;
}

template <typename Char>
std::string NameToUtf8(const Char* name) {
    if (name == nullptr) return {};
    if constexpr (sizeof(Char) == 1) {
        return AnsiToUtf8(name);
    } else {
        return Utf16ToUtf8(name);
    }
}

std::shared_ptr<WindowClass> FindClassLocked(WindowWorld& world, uintptr_t atom,
                                             const std::string& name) {
    if (atom != 0) {
        for (auto& entry : world.classes) {
            if (entry.second->atom == atom) return entry.second;
        }
        return nullptr;
    }
    auto it = world.classes.find(LowerAscii(name));
    return it == world.classes.end() ? nullptr : it->second;
}

template <typename Char>
ATOM RegisterClassT(const WNDCLASS_T<Char>* windowClass, const char* operation) {
    if (ShouldFail(operation)) return 0;
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr ||
        windowClass->lpszClassName == nullptr || IsAtom(windowClass->lpszClassName) ||
        windowClass->cbWndExtra < 0 || windowClass->cbWndExtra > 40) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto entry = std::make_shared<WindowClass>();
    entry->name = NameToUtf8(windowClass->lpszClassName);
    entry->key = LowerAscii(entry->name);
    entry->unicode = sizeof(Char) == 2;
    entry->style = windowClass->style;
    entry->proc = windowClass->lpfnWndProc;
    entry->windowBytes = windowClass->cbWndExtra;
    entry->instance = windowClass->hInstance;
    entry->icon = windowClass->hIcon;
    entry->cursor = windowClass->hCursor;
    entry->background = windowClass->hbrBackground;
    WorldLock lock = LockWorld();
    WindowWorld& world = World();
    if (world.classes.count(entry->key) != 0) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    entry->atom = world.nextAtom++;
    world.classes[entry->key] = entry;
    return entry->atom;
}

// The default place of CW_USEDEFAULT windows.
constexpr int kDefaultX = 100;
constexpr int kDefaultY = 100;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

template <typename Char>
HWND CreateWindowT(DWORD exStyle, const Char* className, const Char* title, DWORD style, int x,
                   int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                   void* param, const char* operation) {
    if (ShouldFail(operation)) return nullptr;
    bool show = (style & WS_VISIBLE) != 0;
    HWND handle = nullptr;
    RECT client{};
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        std::shared_ptr<WindowClass> windowClass =
            FindClassLocked(world, IsAtom(className) ? reinterpret_cast<uintptr_t>(className) : 0,
                            IsAtom(className) ? std::string() : NameToUtf8(className));
        if (windowClass == nullptr) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        if ((parent != nullptr && FindLocked(world, parent) == nullptr) ||
            ((style & WS_CHILD) != 0 && parent == nullptr)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        bool child = (style & WS_CHILD) != 0;
        // As Windows does, an overlapped window always has a caption.
        if (!child && (style & WS_POPUP) == 0) style |= WS_CAPTION | WS_CLIPSIBLINGS;
        if (x == CW_USEDEFAULT) {
            x = child ? 0 : kDefaultX;
            y = child ? 0 : kDefaultY;
        }
        if (width == CW_USEDEFAULT) {
            width = child ? 0 : kDefaultWidth;
            height = child ? 0 : kDefaultHeight;
        }
        x = ClampPosition(x);
        y = ClampPosition(y);
        width = ClampSize(width);
        height = ClampSize(height);
        auto window = std::make_unique<Window>();
        handle = reinterpret_cast<HWND>(world.nextHandle);
        world.nextHandle += 0x10;
        window->handle = handle;
        window->windowClass = windowClass;
        window->proc = windowClass->proc;
        window->unicode = windowClass->unicode;
        window->style = style & ~WS_VISIBLE;
        window->exStyle = exStyle;
        window->parent = child ? parent : nullptr;
        window->owner = child ? nullptr : parent;
        window->rect = RECT{x, y, x + width, y + height};
        window->restoreRect = window->rect;
        window->title = NameToUtf8(title);
        window->slots.assign((windowClass->windowBytes + 3) / 4, 0);
        window->instance = instance;
        if (child) {
            window->id = static_cast<LONG_PTR>(reinterpret_cast<uintptr_t>(menu));
        } else {
            window->menu = menu;
        }
        world.windows[reinterpret_cast<uintptr_t>(handle)] = std::move(window);
        RaiseLocked(world, handle);
    }

    CREATESTRUCT_T<Char> create{
        param, instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        title, className, exStyle};
    if (SendTo(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create)) == FALSE ||
        SendTo(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        DestroyWindowInternal(handle, false);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    GetClientRect(handle, &client);
    SendTo(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    POINT origin{0, 0};
    ClientToScreen(handle, &origin);
    if (parent != nullptr && (style & WS_CHILD) != 0) ScreenToClient(parent, &origin);
    SendTo(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    if (show) ShowWindowInternal(handle, SW_SHOW);
    NotifyChanged(handle);
    return IsLiveWindow(handle) ? handle : nullptr;
}

// The windows of a subtree, parents first.
void CollectLocked(WindowWorld& world, HWND handle, std::vector<HWND>& out) {
    Window* window = FindLocked(world, handle);
    if (window == nullptr) return;
    out.push_back(handle);
    for (HWND child : window->children)
        CollectLocked(world, child, out);
}

LONG_PTR GetLongInternal(HWND handle, int index) {
    WorldLock lock = LockWorld();
    Window* window = FindLocked(World(), handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG>(window->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(window->exStyle);
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(window->proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(window->instance);
        case GWLP_ID:
            return window->id;
        case GWLP_USERDATA:
            return window->userData;
        default:
            break;
    }
    if (index < 0 || index % 4 != 0 || static_cast<size_t>(index / 4) >= window->slots.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return window->slots[index / 4];
}

LONG_PTR SetLongInternal(HWND handle, int index, LONG_PTR value) {
    LONG_PTR previous = 0;
    {
        WorldLock lock = LockWorld();
        Window* window = FindOwnLocked(World(), handle);
        if (window == nullptr) return 0;
        switch (index) {
            case GWL_STYLE:
                previous = static_cast<LONG>(window->style);
                window->style = static_cast<DWORD>(value);
                break;
            case GWL_EXSTYLE:
                previous = static_cast<LONG>(window->exStyle);
                window->exStyle = (static_cast<DWORD>(value) & ~WS_EX_TOPMOST) |
                                  (window->exStyle & WS_EX_TOPMOST);
                break;
            case GWLP_WNDPROC:
                previous = reinterpret_cast<LONG_PTR>(window->proc);
                if (value == 0) {
                    SetLastError(ERROR_INVALID_PARAMETER);
                    return 0;
                }
                window->proc = reinterpret_cast<WNDPROC>(value);
                break;
            case GWLP_ID:
                previous = window->id;
                window->id = value;
                break;
            case GWLP_USERDATA:
                previous = window->userData;
                window->userData = value;
                break;
            default:
                if (index < 0 || index % 4 != 0 ||
                    static_cast<size_t>(index / 4) >= window->slots.size()) {
                    SetLastError(ERROR_INVALID_INDEX);
                    return 0;
                }
                previous = window->slots[index / 4];
                window->slots[index / 4] = value;
                return previous;
        }
    }
    NotifyChanged(handle);
    return previous;
}

}  // namespace

bool DestroyWindowInternal(HWND handle, bool allowForeign) {
    bool foreign = false;
    bool visible = false;
    {
        WorldLock lock = LockWorld();
        Window* window = FindLocked(World(), handle);
        if (window == nullptr || (window->foreign && !allowForeign)) {
            SetLastError(window == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_ACCESS_DENIED);
            return false;
        }
        if (window->destroying) return true;
        window->destroying = true;
        foreign = window->foreign;
        visible = (window->style & WS_VISIBLE) != 0;
    }
    if (visible && !foreign) {
        SetWindowPosInternal(
            handle, nullptr, 0, 0, 0, 0,
            SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (visible) {
        WorldLock lock = LockWorld();
        if (Window* window = FindLocked(World(), handle)) window->style &= ~WS_VISIBLE;
    }
    // A hidden window may hold the foreground too (activated before it was shown).
    PassForegroundOn(handle);

    std::vector<HWND> tree;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        CollectLocked(world, handle, tree);
        for (HWND member : tree) {
            if (Window* window = FindLocked(world, member)) window->destroying = true;
            if (world.capture == member) world.capture = nullptr;
            if (world.focus == member) world.focus = nullptr;
        }
    }
    auto isOwn = [](HWND member) {
        WorldLock lock = LockWorld();
        Window* window = FindLocked(World(), member);
        return window != nullptr && !window->foreign;
    };
    for (HWND member : tree) {
        if (isOwn(member)) SendTo(member, WM_DESTROY, 0, 0);
    }
    for (auto it = tree.rbegin(); it != tree.rend(); ++it) {
        if (isOwn(*it)) SendTo(*it, WM_NCDESTROY, 0, 0);
    }

    std::vector<HWND> ownTopLevel;
    {
        WorldLock lock = LockWorld();
        WindowWorld& world = World();
        for (HWND member : tree) {
            Window* window = FindLocked(world, member);
            if (window == nullptr) continue;
            if (!window->foreign && member == handle && window->parent == nullptr) {
                ownTopLevel.push_back(member);
            }
            std::vector<HWND>& siblings = SiblingsLocked(world, window);
            siblings.erase(std::remove(siblings.begin(), siblings.end(), member), siblings.end());
            window->children.clear();
            window->destroyed = true;
            world.timers.erase(
                std::remove_if(world.timers.begin(), world.timers.end(),
                               [member](const Timer& t) { return t.window == member; }),
                world.timers.end());
            PurgeMessagesLocked(world, member);
            if (world.hoverWindow == member) world.hoverWindow = nullptr;
            if (world.leaveWindow == member) world.leaveWindow = nullptr;
            if (world.foreground == member) world.foreground = nullptr;
            if (world.active == member) world.active = nullptr;
        }
    }
    for (HWND member : tree)
        ForgetMenusOf(member);
    for (HWND member : ownTopLevel)
        Backend().WindowDestroyed(member);
    return true;
}

namespace control {

bool DestroyForeignWindow(HWND handle) {
    {
        WorldLock lock = LockWorld();
        Window* window = FindLocked(World(), handle);
        if (window == nullptr || !window->foreign) return false;
    }
    return DestroyWindowInternal(handle, true);
}

}  // namespace control
}  // namespace port

using port::LockWorld;
using port::World;
using port::WorldLock;

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    return port::RegisterClassT(windowClass, "RegisterClassA");
}

ATOM RegisterClassW(const WNDCLASSW* windowClass) {
    return port::RegisterClassT(windowClass, "RegisterClassW");
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    std::shared_ptr<port::WindowClass> windowClass = port::FindClassLocked(
        world, port::IsAtom(className) ? reinterpret_cast<uintptr_t>(className) : 0,
        port::IsAtom(className) ? std::string() : port::NameToUtf8(className));
    if (windowClass == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return FALSE;
    }
    for (auto& entry : world.windows) {
        if (!entry.second->destroyed && entry.second->windowClass == windowClass) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
    }
    world.classes.erase(windowClass->key);
    return TRUE;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param) {
    return port::CreateWindowT(exStyle, className, title, style, x, y, width, height, parent, menu,
                               instance, param, "CreateWindowExA");
}

HWND CreateWindowExW(DWORD exStyle, const WCHAR* className, const WCHAR* title, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param) {
    return port::CreateWindowT(exStyle, className, title, style, x, y, width, height, parent, menu,
                               instance, param, "CreateWindowExW");
}

BOOL DestroyWindow(HWND window) {
    return port::DestroyWindowInternal(window, false) ? TRUE : FALSE;
}

BOOL IsWindow(HWND window) {
    return port::IsLiveWindow(window) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND handle) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindLocked(World(), handle);
    return window != nullptr && port::IsVisibleLocked(World(), window) ? TRUE : FALSE;
}

BOOL IsIconic(HWND handle) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindLocked(World(), handle);
    return window != nullptr && (window->style & WS_MINIMIZE) != 0 ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND window) {
    WorldLock lock = LockWorld();
    return port::IsAncestorLocked(World(), parent, window) ? TRUE : FALSE;
}

HWND GetParent(HWND handle) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindLocked(World(), handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return (window->style & WS_CHILD) != 0 ? window->parent : window->owner;
}

HWND SetParent(HWND handle, HWND parent) {
    HWND previous = nullptr;
    bool wasTopLevel = false;
    {
        WorldLock lock = LockWorld();
        port::WindowWorld& world = World();
        port::Window* window = port::FindOwnLocked(world, handle);
        if (window == nullptr) return nullptr;
        if (parent != nullptr && (port::FindLocked(world, parent) == nullptr || parent == handle ||
                                  port::IsAncestorLocked(world, handle, parent))) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        previous = window->parent;
        wasTopLevel = previous == nullptr;
        std::vector<HWND>& siblings = port::SiblingsLocked(world, window);
        siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
        window->parent = parent;
        port::RaiseLocked(world, handle);
    }
    if (wasTopLevel && parent != nullptr) {
        port::PassForegroundOn(handle);
        port::Backend().WindowDestroyed(handle);
    }
    port::NotifyChanged(handle);
    return previous;
}

HWND GetWindow(HWND handle, UINT relation) {
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    port::Window* window = port::FindLocked(world, handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (relation == GW_OWNER) return window->owner;
    if (relation == GW_CHILD) return window->children.empty() ? nullptr : window->children.front();
    const std::vector<HWND>& siblings = port::SiblingsLocked(world, window);
    auto self = std::find(siblings.begin(), siblings.end(), handle);
    switch (relation) {
        case GW_HWNDFIRST:
            return siblings.empty() ? nullptr : siblings.front();
        case GW_HWNDLAST:
            return siblings.empty() ? nullptr : siblings.back();
        case GW_HWNDNEXT:
            return self == siblings.end() || self + 1 == siblings.end() ? nullptr : *(self + 1);
        case GW_HWNDPREV:
            return self == siblings.begin() || self == siblings.end() ? nullptr : *(self - 1);
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND FindWindowA(const char* className, const char* title) {
    WorldLock lock = LockWorld();
    port::WindowWorld& world = World();
    std::string key = className == nullptr || port::IsAtom(className)
                          ? std::string()
                          : port::LowerAscii(port::AnsiToUtf8(className));
    uintptr_t atom = port::IsAtom(className) ? reinterpret_cast<uintptr_t>(className) : 0;
    for (HWND handle : world.zOrder) {
        port::Window* window = port::FindLocked(world, handle);
        if (window == nullptr || window->foreign) continue;
        if (atom != 0 && window->windowClass->atom != atom) continue;
        if (!key.empty() && window->windowClass->key != key) continue;
        if (title != nullptr && window->title != port::AnsiToUtf8(title)) continue;
        return handle;
    }
    return nullptr;
}

LONG_PTR GetWindowLongA(HWND window, int index) {
    return port::GetLongInternal(window, index);
}
LONG_PTR GetWindowLongW(HWND window, int index) {
    return port::GetLongInternal(window, index);
}
LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    return port::GetLongInternal(window, index);
}
LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value) {
    return port::SetLongInternal(window, index, value);
}
LONG_PTR SetWindowLongW(HWND window, int index, LONG_PTR value) {
    return port::SetLongInternal(window, index, value);
}
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    return port::SetLongInternal(window, index, value);
}

DWORD GetClassLongA(HWND handle, int index) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindOwnLocked(World(), handle);
    if (window == nullptr) return 0;
    const port::WindowClass& windowClass = *window->windowClass;
    switch (index) {
        case GCL_HCURSOR:
            return static_cast<DWORD>(reinterpret_cast<uintptr_t>(windowClass.cursor));
        case GCL_HICON:
            return static_cast<DWORD>(reinterpret_cast<uintptr_t>(windowClass.icon));
        case GCL_HBRBACKGROUND:
            return static_cast<DWORD>(reinterpret_cast<uintptr_t>(windowClass.background));
        case GCL_CBWNDEXTRA:
            return static_cast<DWORD>(windowClass.windowBytes);
        case GCL_STYLE:
            return windowClass.style;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

namespace {

// A handle from the 32 bits that SetClassLongA carries.
template <typename Handle>
Handle HandleFromLong(LONG value) {
    return reinterpret_cast<Handle>(static_cast<uintptr_t>(static_cast<DWORD>(value)));
}

}  // namespace

DWORD SetClassLongA(HWND handle, int index, LONG value) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindOwnLocked(World(), handle);
    if (window == nullptr) return 0;
    port::WindowClass& windowClass = *window->windowClass;
    DWORD previous = 0;
    switch (index) {
        case GCL_HCURSOR:
            previous = static_cast<DWORD>(reinterpret_cast<uintptr_t>(windowClass.cursor));
            windowClass.cursor = HandleFromLong<HCURSOR>(value);
            break;
        case GCL_HICON:
            previous = static_cast<DWORD>(reinterpret_cast<uintptr_t>(windowClass.icon));
            windowClass.icon = HandleFromLong<HICON>(value);
            break;
        case GCL_HBRBACKGROUND:
            previous = static_cast<DWORD>(reinterpret_cast<uintptr_t>(windowClass.background));
            windowClass.background = HandleFromLong<HBRUSH>(value);
            break;
        case GCL_STYLE:
            previous = windowClass.style;
            windowClass.style = static_cast<UINT>(value);
            break;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
    return previous;
}

namespace {

BOOL SetTitle(HWND handle, std::string title) {
    {
        WorldLock lock = LockWorld();
        port::Window* window = port::FindLocked(World(), handle);
        if (window == nullptr) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        window->title = std::move(title);
    }
    port::NotifyChanged(handle);
    return TRUE;
}

bool ReadTitle(HWND handle, std::string* title) {
    WorldLock lock = LockWorld();
    port::Window* window = port::FindLocked(World(), handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    *title = window->title;
    return true;
}

}  // namespace

BOOL SetWindowTextA(HWND window, const char* text) {
    return SetTitle(window, text != nullptr ? port::AnsiToUtf8(text) : std::string());
}

BOOL SetWindowTextW(HWND window, const WCHAR* text) {
    return SetTitle(window, port::Utf16ToUtf8(port::WideFrom(text)));
}

int GetWindowTextA(HWND window, char* text, int size) {
    std::string title;
    if (text == nullptr || size <= 0 || !ReadTitle(window, &title)) return 0;
    std::string ansi = port::Utf8ToAnsi(title);
    int length = std::min(static_cast<int>(ansi.size()), size - 1);
    std::memcpy(text, ansi.data(), static_cast<size_t>(length));
    text[length] = '\0';
    return length;
}

int GetWindowTextW(HWND window, WCHAR* text, int size) {
    std::string title;
    if (text == nullptr || size <= 0 || !ReadTitle(window, &title)) return 0;
    std::u16string wide = port::Utf8ToUtf16(title);
    int length = std::min(static_cast<int>(wide.size()), size - 1);
    std::memcpy(text, wide.data(), static_cast<size_t>(length) * sizeof(WCHAR));
    text[length] = 0;
    return length;
}
