#include "port/window/sdl/sdlbackend.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "port/portlog.h"
#include "port/system/textconv.h"
#include "port/window/activation.h"
#include "port/window/backend.h"
#include "port/window/cursorimage.h"
#include "port/window/events.h"
#include "port/window/input.h"
#include "port/window/messagebox.h"
#include "port/window/sdl/sdlaltgr.h"
#include "port/window/sdl/sdlevents.h"
#include "port/window/sdl/sdlplace.h"
#include "port/window/windowinternal.h"

namespace port::sdl {
namespace {

class SdlBackend;

std::atomic<SDL_Window*> gWindow{nullptr};
// The backend that started last; used on the thread that runs the windows only.
SdlBackend* gActive = nullptr;
std::atomic<bool> gStarted{false};
std::atomic<std::thread::id> gWindowThread{};
std::atomic<PumpHook> gPumpHook{nullptr};
// The event type that only wakes WaitEvents (0: none registered).
std::atomic<Uint32> gWakeEvent{0};

// What the SDL window must show of the model's window.
struct Look {
    bool found = false;
    bool visible = false;
    bool minimised = false;
    bool bordered = false;
    RECT client{};
    std::string title;
};

uint32_t Premultiplied(uint32_t argb) {
    uint32_t alpha = argb >> 24;
    uint32_t result = alpha << 24;
    for (int shift : {16, 8, 0})
        result |= (((argb >> shift) & 0xFF) * alpha + 127) / 255 << shift;
    return result;
}

Look LookOf(HWND handle) {
    Look look;
    WorldLock lock = LockWorld();
    Window* window = FindLocked(World(), handle);
    if (window == nullptr) return look;
    look.found = true;
    look.visible = IsVisibleLocked(World(), window);
    look.minimised = (window->style & WS_MINIMIZE) != 0;
    look.bordered = (window->style & (WS_CAPTION | WS_THICKFRAME)) != 0;
    look.client = ClientScreenRectLocked(World(), *window);
    look.title = window->title;
    return look;
}

class SdlBackend : public WindowBackend {
public:
    ~SdlBackend() override {
        if (gActive == this) {
            gActive = nullptr;
            gStarted.store(false);
        }
        for (auto& entry : mCursors)
            SDL_FreeCursor(entry.second);
        if (mWindow != nullptr) SDL_DestroyWindow(mWindow);
        gWindow.store(nullptr);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool Start() {
        // The program decides what closing means (WM_CLOSE); clicks that activate also count,
        // as on Windows.
        SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // A desktop is an X or Wayland display. Without one SDL would fall back on a driver that
        // shows nothing (offscreen), so the program would run unseen; only a driver asked for by
        // name (SDL_VIDEODRIVER) is taken without a display.
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        bool named = asked != nullptr && *asked != '\0';
        if (!named && !HasDisplay()) {
            Log("SDL video could not start: no X or Wayland display");
            return false;
        }
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            Log("SDL video could not start: %s", SDL_GetError());
            return false;
        }
        const char* driver = SDL_GetCurrentVideoDriver();
        bool unseen = driver != nullptr &&
                      (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
        if (unseen && !named) {
            Log("SDL video could not start: only its %s driver, which shows nothing", driver);
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            return false;
        }
        ReadDesktop(false);
        Uint32 wake = SDL_RegisterEvents(1);
        gWakeEvent.store(wake != static_cast<Uint32>(-1) ? wake : 0);
        gWindowThread.store(std::this_thread::get_id());
        gActive = this;
        gStarted.store(true);
        SDL_StartTextInput();
        // The desktop's own key events tell AltGr from right Alt.
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
        return true;
    }

    const char* Name() const override { return "sdl"; }

    void PumpEvents() override {
        ApplyPendingHide();
        FollowForegroundAndCapture();
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            if (event.type == SDL_DISPLAYEVENT) {
                ReadDesktop(true);
                continue;
            }
            if (event.type == SDL_SYSWMEVENT) {
                DesktopKey key = DesktopKeyOf(event.syswm);
                if (key != DesktopKey::NotAKey)
                    mTranslator.NextKeyIsAltGr(key == DesktopKey::AltGr);
                continue;
            }
            mTranslator.Translate(event);
        }
        if (PumpHook hook = gPumpHook.load()) hook();
    }

    void WaitEvents(DWORD milliseconds) override {
        ApplyPendingHide();
        FollowForegroundAndCapture();
        SDL_WaitEventTimeout(nullptr, static_cast<int>(milliseconds));
    }

    // A hide the model asked for and did not take back since.
    void ApplyPendingHide() {
        if (!mHidePending) return;
        mHidePending = false;
        Look look = LookOf(mShown);
        if (mWindow != nullptr && mShownOnScreen && (!look.found || !look.visible)) {
            SDL_HideWindow(mWindow);
            mShownOnScreen = false;
        }
    }

    void WindowChanged(HWND handle) override {
        if (mShown == nullptr && IsWindowVisible(handle)) mShown = handle;
        if (handle != mShown) return;
        Look look = LookOf(handle);
        if (!look.found) return;
        int width = look.client.right - look.client.left;
        int height = look.client.bottom - look.client.top;
        if (mWindow == nullptr) {
            mWindow =
                SDL_CreateWindow(ToUtf8(look.title).c_str(), look.client.left, look.client.top,
                                 width > 0 ? width : 1, height > 0 ? height : 1, SDL_WINDOW_HIDDEN);
            if (mWindow == nullptr) {
                Log("SDL window could not be made: %s", SDL_GetError());
                mShown = nullptr;
                return;
            }
            if (SDL_CreateRenderer(mWindow, -1, 0) == nullptr) {
                Log("SDL renderer could not be made: %s", SDL_GetError());
            }
            gWindow.store(mWindow);
            mTranslator.SetWindow(handle);
            mShownOnScreen = false;
        }
        if (look.title != mTitle) {
            mTitle = look.title;
            SDL_SetWindowTitle(mWindow, ToUtf8(mTitle).c_str());
        }
        SDL_SetWindowBordered(mWindow, look.bordered ? SDL_TRUE : SDL_FALSE);
        Uint32 flags = SDL_GetWindowFlags(mWindow);
        bool sdlMinimised = (flags & SDL_WINDOW_MINIMIZED) != 0;
        // In full screen the SDL window covers the screen whatever the model's window does.
        if (!look.minimised && !mScale.on) {
            int currentWidth = 0, currentHeight = 0, x = 0, y = 0;
            SDL_GetWindowSize(mWindow, &currentWidth, &currentHeight);
            if (width > 0 && height > 0 && (width != currentWidth || height != currentHeight)) {
                SDL_SetWindowSize(mWindow, width, height);
            }
            SDL_GetWindowPosition(mWindow, &x, &y);
            if (x != look.client.left || y != look.client.top) {
                SDL_SetWindowPosition(mWindow, look.client.left, look.client.top);
            }
        }
        if (look.visible && !mShownOnScreen) {
            SDL_ShowWindow(mWindow);
            mShownOnScreen = true;
            mInFront = false;  // given the input focus now, if it is the foreground window
        } else if (!look.visible && mShownOnScreen) {
            // Hidden at the next look at the events: a window hidden and shown again in between
            // (as a style change without WS_VISIBLE does, which the display set-up makes) stays
            // on the screen, so X never moves the input focus away and back, which would read as
            // the player switching programs and lose a full-screen display's surfaces.
            mHidePending = true;
        }
        if (look.visible) mHidePending = false;
        if (look.minimised && !sdlMinimised) SDL_MinimizeWindow(mWindow);
        if (!look.minimised && sdlMinimised) SDL_RestoreWindow(mWindow);
    }

    void WindowDestroyed(HWND handle) override {
        if (handle != mShown) return;
        if (mWindow != nullptr) SDL_DestroyWindow(mWindow);
        mWindow = nullptr;
        gWindow.store(nullptr);
        mShown = nullptr;
        mTitle.clear();
        mTranslator.SetWindow(nullptr);
        mInFront = false;
        mCaptured = false;
    }

    void CursorChanged(HCURSOR cursor, bool shown) override {
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
        if (!shown) return;
        SDL_Cursor* image = SdlCursor(cursor);
        SDL_SetCursor(image != nullptr ? image : SDL_GetDefaultCursor());
    }

    void CursorMoved(POINT point) override {
        if (mWindow == nullptr) return;
        if (mScale.on) {
            POINT shown = ModeToWindow(mScale, point);
            SDL_WarpMouseInWindow(mWindow, shown.x, shown.y);
            return;
        }
        Look look = LookOf(mShown);
        SDL_WarpMouseInWindow(mWindow, point.x - look.client.left, point.y - look.client.top);
    }

    int ShowMessageBox(const MessageBoxRecord& box) override {
        std::vector<SDL_MessageBoxButtonData> buttons = ButtonsOf(box.flags);
        std::string text = ToUtf8(box.text);
        std::string caption = ToUtf8(box.caption);
        SDL_MessageBoxData data{};
        UINT icon = box.flags & 0xF0;
        data.flags = icon == MB_ICONERROR         ? SDL_MESSAGEBOX_ERROR
                     : icon == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING
                                                  : SDL_MESSAGEBOX_INFORMATION;
        data.window = box.owner != nullptr && box.owner == mShown ? mWindow : nullptr;
        data.title = caption.c_str();
        data.message = text.c_str();
        data.numbuttons = static_cast<int>(buttons.size());
        data.buttons = buttons.data();
        int chosen = 0;
        if (SDL_ShowMessageBox(&data, &chosen) != 0) {
            Log("The message box \"%s\" could not be shown: %s", caption.c_str(), SDL_GetError());
            return ConfiguredMessageBoxAnswer(box.flags);
        }
        if (chosen <= 0) return ConfiguredMessageBoxAnswer(box.flags);
        return chosen;
    }

    void ClipboardWritten(const std::string& text) override {
        SDL_SetClipboardText(text.c_str());
        mWritten = text;
        mWroteClipboard = true;
    }

    bool ReadClipboard(bool* hasText, std::string* text) override {
        *hasText = SDL_HasClipboardText() == SDL_TRUE;
        text->clear();
        if (*hasText) {
            char* clipboard = SDL_GetClipboardText();
            if (clipboard != nullptr) {
                *text = clipboard;
                SDL_free(clipboard);
            }
        }
        // The desktop still holds what the program put: the model keeps the bytes as they were
        // put (the desktop has only their UTF-8 form).
        if (mWroteClipboard && *text == mWritten) return false;
        mWroteClipboard = false;
        return true;
    }

    HWND Shown() const { return mShown; }
    const ScreenScale& Scale() const { return mScale; }

    bool EnterFullScreen(int modeWidth, int modeHeight) {
        if (mWindow == nullptr) return false;
        SDL_Rect screen{};
        int index = SDL_GetWindowDisplayIndex(mWindow);
        if (SDL_GetDisplayBounds(index >= 0 ? index : 0, &screen) != 0) return false;
        bool entering = !mScale.on;
        mScale = FitMode(modeWidth, modeHeight, screen.w, screen.h);
        if (!mScale.on) return false;
        mTranslator.SetScale(mScale);
        if (entering && SDL_SetWindowFullscreen(mWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            Log("SDL full screen: %s", SDL_GetError());
        }
        // Without a window manager nothing answers SDL's request: the window covers the screen
        // by our own hand.
        int x = 0, y = 0, width = 0, height = 0;
        if (ServerGeometry(mWindow, &x, &y, &width, &height) &&
            (x != screen.x || y != screen.y || width != screen.w || height != screen.h)) {
            PlaceOnServer(mWindow, screen.x, screen.y, screen.w, screen.h, true);
        }
        return true;
    }

    void LeaveFullScreen() {
        if (!mScale.on) return;
        mScale = ScreenScale{};
        mTranslator.SetScale(mScale);
        if (mWindow == nullptr) return;
        if (SDL_SetWindowFullscreen(mWindow, 0) != 0) Log("SDL window: %s", SDL_GetError());
        Look look = LookOf(mShown);
        if (!look.found || look.minimised) return;
        int width = look.client.right - look.client.left;
        int height = look.client.bottom - look.client.top;
        if (width <= 0 || height <= 0) return;
        SDL_SetWindowSize(mWindow, width, height);
        SDL_SetWindowPosition(mWindow, look.client.left, look.client.top);
        // As in full screen, the server may not have heard SDL: the client area by our hand.
        int x = 0, y = 0, shownWidth = 0, shownHeight = 0;
        if (ServerGeometry(mWindow, &x, &y, &shownWidth, &shownHeight) &&
            (x != look.client.left || y != look.client.top || shownWidth != width ||
             shownHeight != height)) {
            PlaceOnServer(mWindow, look.client.left, look.client.top, width, height, false);
        }
    }

private:
    static bool HasDisplay() {
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
            const char* value = SDL_getenv(variable);
            if (value != nullptr && *value != '\0') return true;
        }
        return false;
    }

    // The model decides activation and capture (SetForegroundWindow, SetActiveWindow, a click
    // that activates, SetCapture, ReleaseCapture); the SDL window follows before each look at
    // the desktop's events. A window the model brings to the front is raised and given the input
    // focus, so that keys follow the click even with no window manager; a capture keeps the
    // pointer's events coming while it is outside the window.
    void FollowForegroundAndCapture() {
        if (mWindow == nullptr || !mShownOnScreen) return;
        bool inFront = GetForegroundWindow() == mShown;
        if (inFront && !mInFront) {
            SDL_RaiseWindow(mWindow);
            if ((SDL_GetWindowFlags(mWindow) & SDL_WINDOW_INPUT_FOCUS) == 0) {
                SDL_SetWindowInputFocus(mWindow);
            }
        }
        mInFront = inFront;
        bool captured = GetCapture() != nullptr;
        if (captured != mCaptured) {
            // SDL refuses while its window lacks the keyboard focus: tried again next time.
            if (SDL_CaptureMouse(captured ? SDL_TRUE : SDL_FALSE) == 0 || !captured) {
                mCaptured = captured;
            }
        }
    }

    static std::vector<SDL_MessageBoxButtonData> ButtonsOf(UINT flags) {
        constexpr Uint32 kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        constexpr Uint32 kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        switch (flags & 0x0F) {
            case MB_OKCANCEL:
                return {{kReturn, IDOK, "OK"}, {kEscape, IDCANCEL, "Cancel"}};
            case MB_ABORTRETRYIGNORE:
                return {{kReturn, IDABORT, "Abort"},
                        {0, IDRETRY, "Retry"},
                        {kEscape, IDIGNORE, "Ignore"}};
            case MB_YESNOCANCEL:
                return {{kReturn, IDYES, "Yes"}, {0, IDNO, "No"}, {kEscape, IDCANCEL, "Cancel"}};
            case MB_YESNO:
                return {{kReturn, IDYES, "Yes"}, {kEscape, IDNO, "No"}};
            case MB_RETRYCANCEL:
                return {{kReturn, IDRETRY, "Retry"}, {kEscape, IDCANCEL, "Cancel"}};
            default:
                return {{kReturn | kEscape, IDOK, "OK"}};
        }
    }

    SDL_Cursor* SdlCursor(HCURSOR cursor) {
        auto cached = mCursors.find(cursor);
        if (cached != mCursors.end()) return cached->second;
        std::shared_ptr<const CursorImage> image = LookupCursorImage(cursor);
        if (image == nullptr || image->width <= 0 || image->height <= 0 ||
            image->argb.size() != static_cast<size_t>(image->width) * image->height) {
            return nullptr;
        }
        // The X server takes cursor colours premultiplied by their alpha, and SDL 2 hands the
        // pixels over as they are: half-transparent pixels would show too bright.
        std::vector<uint32_t> pixels = image->argb;
        const char* driver = SDL_GetCurrentVideoDriver();
        if (driver != nullptr && std::strcmp(driver, "x11") == 0) {
            for (uint32_t& pixel : pixels)
                pixel = Premultiplied(pixel);
        }
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), image->width, image->height, 32,
                                               image->width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface == nullptr) return nullptr;
        SDL_Cursor* made = SDL_CreateColorCursor(surface, image->hotX, image->hotY);
        SDL_FreeSurface(surface);
        if (made != nullptr) mCursors[cursor] = made;
        return made;
    }

    // The desktop as SDL sees it; announce: tell the program's windows when the mode changed.
    void ReadDesktop(bool announce) {
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return;
        int bits = SDL_BITSPERPIXEL(mode.format) >= 24 ? 32 : SDL_BITSPERPIXEL(mode.format);
        bool changed = mode.w != mDesktop.w || mode.h != mDesktop.h || bits != mBits;
        mDesktop = mode;
        mBits = bits;
        if (mode.refresh_rate > 0) DeliverRefreshRate(mode.refresh_rate);
        std::vector<MonitorSpec> monitors;
        int count = SDL_GetNumVideoDisplays();
        for (int i = 0; i < count; ++i) {
            SDL_Rect area{}, usable{};
            if (SDL_GetDisplayBounds(i, &area) != 0) continue;
            if (SDL_GetDisplayUsableBounds(i, &usable) != 0) usable = area;
            char name[32];
            std::snprintf(name, sizeof name, "\\\\.\\DISPLAY%d", i + 1);
            monitors.push_back({RECT{area.x, area.y, area.x + area.w, area.y + area.h},
                                RECT{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h},
                                name, i == 0});
        }
        DeliverMonitors(monitors);
        if (!monitors.empty()) DeliverWorkArea(monitors[0].work);
        if (announce && changed) {
            DeliverDisplayChange(mode.w, mode.h, bits);
        } else {
            DeliverDesktop(mode.w, mode.h, bits);
        }
    }

    SDL_Window* mWindow = nullptr;
    ScreenScale mScale;  // on while full screen
    bool mShownOnScreen = false;
    bool mHidePending = false;  // hidden in the model, still shown on the screen
    bool mInFront = false;   // the model's foreground window when last followed
    bool mCaptured = false;  // SDL holds the pointer for the model's capture
    HWND mShown = nullptr;
    std::string mTitle;
    EventTranslator mTranslator;
    std::map<HCURSOR, SDL_Cursor*> mCursors;
    std::string mWritten;  // the program's clipboard text as the desktop got it
    bool mWroteClipboard = false;
    SDL_DisplayMode mDesktop{};
    int mBits = 0;
};

}  // namespace

SDL_Window* CurrentWindow() {
    return gWindow.load();
}

HWND ShownWindow() {
    return gActive != nullptr ? gActive->Shown() : nullptr;
}

bool OnWindowThread() {
    return gStarted.load() && gWindowThread.load() == std::this_thread::get_id();
}

void SetPumpHook(PumpHook hook) {
    gPumpHook.store(hook);
}

void WakeWindowThread() {
    Uint32 type = gWakeEvent.load();
    if (!gStarted.load() || type == 0) return;
    SDL_Event event{};
    event.type = type;
    SDL_PushEvent(&event);
}

bool EnterFullScreen(int modeWidth, int modeHeight) {
    return gActive != nullptr && gActive->EnterFullScreen(modeWidth, modeHeight);
}

void LeaveFullScreen() {
    if (gActive != nullptr) gActive->LeaveFullScreen();
}

ScreenScale FullScreenScale() {
    return gActive != nullptr ? gActive->Scale() : ScreenScale{};
}

}  // namespace port::sdl

namespace port {

std::unique_ptr<WindowBackend> MakeSdlBackend() {
    auto backend = std::make_unique<sdl::SdlBackend>();
    if (!backend->Start()) return nullptr;
    return backend;
}

}  // namespace port
