// The sdl display backend: the player's view in the SDL window, windowed or full screen. Every
// SDL call is made on the thread that runs the windows; other threads only mark the screen
// changed and wake that thread.
#include <SDL2/SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "port/display/backend.h"
#include "port/display/cooperation.h"
#include "port/display/screen.h"
#include "port/portlog.h"
#include "port/window/desktop.h"
#include "port/window/sdl/sdlbackend.h"
#include "port/window/windowpos.h"

namespace port::display {
namespace {

// The SDL format of the memory's own, with no conversion of ours; 0 for one no display shows.
// SDL names formats by their channels from the top bit of a pixel read as an integer (RGB888:
// X8R8G8B8), except the three-byte ones, which it names by their bytes in memory (BGR24: blue,
// green, red, as R8G8B8 lies).
Uint32 SdlFormat(raster::TPixelFormat format) {
    switch (format) {
        case raster::TPixelFormat::X8R8G8B8:
            return SDL_PIXELFORMAT_RGB888;
        case raster::TPixelFormat::R5G6B5:
            return SDL_PIXELFORMAT_RGB565;
        case raster::TPixelFormat::R8G8B8:
            return SDL_PIXELFORMAT_BGR24;
        default:
            return 0;
    }
}

class SdlDisplay;
SdlDisplay* gDisplay = nullptr;

class SdlDisplay : public DisplayBackend {
public:
    SdlDisplay() {
        // The first one presents from the pump (Backend() keeps one for the process's life).
        if (gDisplay == nullptr) {
            gDisplay = this;
            sdl::SetPumpHook(&PumpHook);
        }
        SDL_AddEventWatch(&WatchWindow, this);
    }

    ~SdlDisplay() override {
        SDL_DelEventWatch(&WatchWindow, this);
        if (gDisplay == this) {
            sdl::SetPumpHook(nullptr);
            gDisplay = nullptr;
        }
    }

    const char* Name() const override { return "sdl"; }

    void ScreenChanged() override {
        mChanged.store(true);
        if (sdl::OnWindowThread()) {
            Present();
        } else if (!mWakeSent.exchange(true)) {
            sdl::WakeWindowThread();
        }
    }

    void WaitForVerticalBlank() override {
        // The next start of a refresh period, counted from a fixed moment.
        using Clock = std::chrono::steady_clock;
        static const Clock::time_point epoch = Clock::now();
        int hertz = CurrentDesktopMode().refreshRate;
        auto period = std::chrono::nanoseconds(1000000000LL / (hertz > 0 ? hertz : 60));
        auto since = Clock::now() - epoch;
        std::this_thread::sleep_until(epoch + (since / period + 1) * period);
    }

    std::vector<std::pair<int, int>> ModeSizes(int desktopWidth, int desktopHeight) const override {
        static constexpr std::pair<int, int> kCommon[] = {
            {640, 480},   {800, 600},   {1024, 768},  {1152, 864},  {1280, 720},  {1280, 800},
            {1280, 960},  {1280, 1024}, {1366, 768},  {1440, 900},  {1600, 900},  {1600, 1200},
            {1680, 1050}, {1920, 1080}, {1920, 1200}, {2560, 1440}, {2560, 1600}, {3840, 2160}};
        std::vector<std::pair<int, int>> sizes;
        bool listed = false;
        for (const auto& size : kCommon) {
            if (size.first > desktopWidth || size.second > desktopHeight) continue;
            sizes.push_back(size);
            listed = listed || (size.first == desktopWidth && size.second == desktopHeight);
        }
        if (!listed) sizes.emplace_back(desktopWidth, desktopHeight);
        return sizes;
    }

private:
    static void PumpHook() {
        if (gDisplay == nullptr) return;
        gDisplay->mWakeSent.store(false);
        gDisplay->Present();
    }

    // The window shown anew (exposed, sized, a new window) needs the frame again.
    static int WatchWindow(void* self, SDL_Event* event) {
        if (event->type == SDL_WINDOWEVENT &&
            (event->window.event == SDL_WINDOWEVENT_EXPOSED ||
             event->window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
             event->window.event == SDL_WINDOWEVENT_SHOWN)) {
            static_cast<SdlDisplay*>(self)->mChanged.store(true);
        }
        return 1;
    }

    // Full screen while the exclusive holder has a display mode set; its window minimised when
    // it loses the focus.
    void FollowFullScreen() {
        FullScreenHold hold = CurrentFullScreenHold();
        sdl::ScreenScale now = sdl::FullScreenScale();
        if (!hold.held) {
            if (now.on) {
                sdl::LeaveFullScreen();
                mChanged.store(true);
            }
            mMinimised = false;
            return;
        }
        DesktopMode mode = CurrentDesktopMode();
        if (!now.on || now.modeWidth != mode.width || now.modeHeight != mode.height) {
            if (sdl::EnterFullScreen(mode.width, mode.height)) mChanged.store(true);
        }
        if (hold.focusLost && !mMinimised) {
            if (SDL_Window* window = sdl::CurrentWindow()) SDL_MinimizeWindow(window);
            mMinimised = true;
        } else if (!hold.focusLost) {
            mMinimised = false;
        }
    }

    // The window's renderer (sdlbackend.h makes it with the window); null when it has none.
    SDL_Renderer* RendererOf(SDL_Window* window) {
        Uint32 id = SDL_GetWindowID(window);
        if (id != mWindowId) {
            // Another window: the texture went with the renderer of the one before.
            mTexture = nullptr;
            mShowsSome = false;
            mWindowId = id;
        }
        return SDL_GetRenderer(window);
    }

    // A streaming texture the size and format of the memory.
    SDL_Texture* TextureFor(SDL_Renderer* renderer, Uint32 format, int width, int height) {
        if (mTexture != nullptr && mTextureFormat == format && mTextureWidth == width &&
            mTextureHeight == height) {
            return mTexture;
        }
        if (mTexture != nullptr) SDL_DestroyTexture(mTexture);
        mTexture = SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (mTexture == nullptr) {
            Log("SDL texture could not be made: %s", SDL_GetError());
            return nullptr;
        }
        mTextureFormat = format;
        mTextureWidth = width;
        mTextureHeight = height;
        return mTexture;
    }

    // Where the memory goes in the window: the part of it to show (within the memory) and its
    // place in the window. False when nothing of it shows.
    static bool Placement(const PixelStore& store, bool fullScreen, SDL_Rect* from, SDL_Rect* to) {
        int width = store.pixels.Width();
        int height = store.pixels.Height();
        sdl::ScreenScale scale = sdl::FullScreenScale();
        if (fullScreen || scale.on) {
            // The whole memory (the mode's size), scaled into the area the mode shows in.
            if (!scale.on) return false;
            *from = SDL_Rect{0, 0, width, height};
            *to = SDL_Rect{scale.x, scale.y, scale.width, scale.height};
            return true;
        }
        HWND window = sdl::ShownWindow();
        RECT client{};
        POINT origin{0, 0};
        if (window == nullptr || !GetClientRect(window, &client) ||
            !ClientToScreen(window, &origin)) {
            return false;
        }
        // The client area cut to the desktop's memory: what lies off it stays black.
        int left = std::max(origin.x, 0);
        int top = std::max(origin.y, 0);
        int right = std::min(origin.x + client.right, width);
        int bottom = std::min(origin.y + client.bottom, height);
        if (left >= right || top >= bottom) return false;
        *from = SDL_Rect{left, top, right - left, bottom - top};
        *to = SDL_Rect{left - origin.x, top - origin.y, right - left, bottom - top};
        return true;
    }

    void Present() {
        FollowFullScreen();
        if (!mChanged.exchange(false)) return;
        SDL_Window* window = sdl::CurrentWindow();
        if (window == nullptr) return;
        SDL_Renderer* renderer = RendererOf(window);
        if (renderer == nullptr) return;
        ShownMemory shown = FindShownMemory();
        if (shown.store == nullptr) return;
        if (shown.lost) {
            // Its memory holds nothing to show: the window keeps its last frame, shown again
            // from the texture when the window was covered or sized.
            ShowAgain(renderer);
            return;
        }
        SDL_Rect from{}, to{};
        bool showsSome = false;
        {
            std::lock_guard<StoreMutex> lock(shown.store->mutex);
            if (shown.store->busy != Busy::None) {
                // Read after the Unlock or ReleaseDC, which tells of the change again.
                mChanged.store(true);
                return;
            }
            const raster::TSurface& pixels = shown.store->pixels;
            Uint32 format = SdlFormat(pixels.Format());
            if (format == 0) return;
            showsSome = Placement(*shown.store, shown.fullScreen, &from, &to);
            if (showsSome) {
                SDL_Texture* texture =
                    TextureFor(renderer, format, pixels.Width(), pixels.Height());
                if (texture == nullptr) return;
                const uint8_t* first =
                    pixels.At(from.x, from.y);  // within the memory: from is cut to it
                if (SDL_UpdateTexture(texture, &from, first, pixels.Pitch()) != 0) return;
            }
        }
        mShowsSome = showsSome;
        mFrom = from;
        mTo = to;
        ShowAgain(renderer);
    }

    // The texture's frame on black, as the last present placed it.
    void ShowAgain(SDL_Renderer* renderer) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        if (mShowsSome && mTexture != nullptr) {
            bool scaled = mFrom.w != mTo.w || mFrom.h != mTo.h;
            SDL_SetTextureScaleMode(mTexture, scaled ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
            SDL_RenderCopy(renderer, mTexture, &mFrom, &mTo);
        }
        SDL_RenderPresent(renderer);
    }

    std::atomic<bool> mChanged{true};
    std::atomic<bool> mWakeSent{false};
    // The rest belongs to the thread that runs the windows.
    bool mMinimised = false;
    Uint32 mWindowId = 0;
    SDL_Texture* mTexture = nullptr;  // belongs to the renderer of window mWindowId
    Uint32 mTextureFormat = 0;
    int mTextureWidth = 0;
    int mTextureHeight = 0;
    // The last frame's placement: its part of the texture and its place in the window.
    bool mShowsSome = false;
    SDL_Rect mFrom{};
    SDL_Rect mTo{};
};

}  // namespace

std::unique_ptr<DisplayBackend> MakeSdlDisplayBackend() {
    return std::make_unique<SdlDisplay>();
}

}  // namespace port::display
