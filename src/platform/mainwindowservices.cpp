// The main window's small services: its title, the active and full-screen tests, opening links,
// the mouse cursor and position, the built-in cursor image, the display's readiness and texture
// data, and the hosted and embedded answers. Each serves the game alike whether it runs on its
// own, embedded in a host window ("-wnd=", "--axtest") or hosted under a portal page ("-pq=").
#include <string>

#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "platform/commandline.h"
#include "platform/mainwindowstate.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/systemcursorimage.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "port/system/codepage.h"
#include "port/system/shell.h"
#include "port/window/activation.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace {

// The host's message that carries the full-screen wish (wParam 1 wanted, 0 not).
constexpr UINT kHostFullscreenMessage = WM_USER;
// The longest program path taken after "-host=".
constexpr unsigned kHostProgramLength = 259;

}  // namespace

void TPlatform::SetWindowTitle(const str& text) {
    HWND window = mPlatform->GetMainWindow();
    if (!mPlatform->IsUnicodeMode()) {
        SetWindowTextA(window, text.c_str());
        return;
    }
    int units = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (units <= 0) {
        SetWindowTextW(window, u"");
        return;
    }
    std::u16string wide(static_cast<size_t>(units), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, reinterpret_cast<WCHAR*>(wide.data()),
                        units);
    SetWindowTextW(window, reinterpret_cast<const WCHAR*>(wide.c_str()));
}

bool TPlatform::IsActive() const {
    HWND window = mPlatform->GetMainWindow();
    HWND foreground = GetForegroundWindow();
    if (window == nullptr) return false;
    if (!mPlatform->IsHostedMode()) return foreground == window;
    for (HWND ancestor = window; ancestor != nullptr; ancestor = GetParent(ancestor)) {
        if (ancestor == foreground) return true;
    }
    return false;
}

bool TPlatform::IsFullscreen() const {
    if (mPlatform->IsHostedMode()) return mPlatform->GetMainWindowState().hostFullscreenWish;
    TPlatformData* display = mPlatform->GetPlatformData();
    return display != nullptr && display->IsFullscreen();
}

bool TPlatform::SetFullscreen(bool fullscreen) {
    TPlatformData* display = mPlatform->GetPlatformData();
    if (mPlatform->IsHostedMode()) {
        mPlatform->SendHostFullscreen(fullscreen);
        if (display != nullptr) display->SetFullscreen(false);
        return true;
    }
    return display != nullptr && display->SetFullscreen(fullscreen);
}

void TWin32Platform::SendHostFullscreen(bool fullscreen) {
    mMainWindowState.hostFullscreenWish = fullscreen;
    if (mHostParent != nullptr) {
        SendMessageA(mHostParent, kHostFullscreenMessage, fullscreen ? 1 : 0, 0);
    }
}

void TPlatform::OpenURL(const str& url) {
    if (mPlatform->IsHostedMode() && mPlatform->GetMainWindowState().hostFullscreenWish) {
        HWND top = mPlatform->GetHostWindow();
        for (HWND parent = GetParent(top); parent != nullptr; parent = GetParent(parent)) {
            top = parent;
        }
        if (top != nullptr) ShowWindow(top, SW_MINIMIZE);
    }
    if (mPlatform->IsEmbedded()) {
        const char* line = mPlatform->GetCommandLine();
        str program = commandline::HasOption(line, "-host=")
                          ? commandline::WordAfter(line, "-host=", kHostProgramLength)
                          : str("iexplore.exe");
        ShellExecuteA(nullptr, "open", program.c_str(), url.c_str(), nullptr, SW_SHOWNORMAL);
        return;
    }
    ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TPlatform::ShowCursor(bool shown) {
    if (shown == mPlatform->IsCursorVisible()) return;
    mPlatform->SetCursorVisible(shown);
    if (TPlatformData* display = mPlatform->GetPlatformData()) display->ShowCursor(shown);
}

void TPlatform::SetCursorImage(const std::shared_ptr<TTexture>& texture, int hotX, int hotY,
                               bool force) {
    std::shared_ptr<TTexture> image = texture;
    if (!force) {
        TMainWindowState& state = mPlatform->GetMainWindowState();
        state.cursorImage = texture;
        state.cursorHotX = hotX;
        state.cursorHotY = hotY;
        if (!mPlatform->IsCursorVisible()) return;
        if (image == nullptr) {
            if (state.systemCursorImage == nullptr) {
                state.systemCursorImage = TTexture::GetCursorTexture(kSystemCursorName);
            }
            image = state.systemCursorImage;
        }
    }
    if (TPlatformData* display = mPlatform->GetPlatformData()) {
        display->SetMouseImage(image, false, hotX, hotY);
    }
    SetClassLongA(mPlatform->GetMainWindow(), GCL_HCURSOR, 0);
}

void TPlatform::SetMousePos(int x, int y) {
    mPlatform->CentreMouse(POINT{x, y});
}

void TPlatform::EnsureSystemCursorImage() {
    if (FileExists(kSystemCursorName)) return;
    RegisterMemoryFile(kSystemCursorName, kSystemCursorPng, kSystemCursorPngSize);
}

bool TPlatform::IsReadyToDraw() const {
    TPlatformData* display = mPlatform->GetPlatformData();
    return display != nullptr && display->IsPresentDone();
}

std::unique_ptr<TTextureData> TWin32Platform::CreateTextureData() {
    TPlatformData* display = GetPlatformData();
    if (display == nullptr) return std::make_unique<TMemoryTextureData>();
    return display->CreateTextureData();
}

bool TWin32Platform::GetEmbeddedScale(float* scale) const {
    if (scale != nullptr) *scale = GetScaleX();
    return mEmbedded;
}
