// Right Alt as the desktop's layout gives it: AltGr arrives as Windows gives it (left Ctrl with
// right Alt), a plain right Alt as Alt. Driven through the event translation with synthetic SDL
// events; the smoke program checks the same keys on a real X server.
#include <SDL2/SDL.h>

#include <cstring>

#include "port/window/input.h"
#include "port/window/sdl/sdlevents.h"
#include "port/window/vkeys.h"
#include "windowfixture.h"

namespace {

using window_testing::WindowTest;

class SdlAltGrTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        mWindow = MakeWindow(WS_POPUP, 0, true, RECT{100, 100, 740, 580});
        mTranslator.SetWindow(mWindow);
        Pump();
        ClearLog();
    }

    void Key(SDL_Scancode scancode, bool down, SDL_Keycode sym = SDLK_UNKNOWN) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.keysym.scancode = scancode;
        event.key.keysym.sym = sym;
        event.key.keysym.mod = KMOD_NUM;
        mTranslator.Translate(event);
    }
    void Text(const char* text) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, text, sizeof event.text.text - 1);
        mTranslator.Translate(event);
    }
    // The key messages taken, as (message, wParam, extended) in order.
    struct KeyMessage {
        UINT message;
        WPARAM wParam;
        bool extended;
        bool operator==(const KeyMessage&) const = default;
    };
    std::vector<KeyMessage> Keys() {
        std::vector<KeyMessage> keys;
        for (const MSG& msg : Pump()) {
            if (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSKEYUP + 1) {
                keys.push_back({msg.message, msg.wParam,
                                (HIWORD(static_cast<uintptr_t>(msg.lParam)) & KF_EXTENDED) != 0});
            }
        }
        return keys;
    }

    HWND mWindow = nullptr;
    port::sdl::EventTranslator mTranslator;
};

TEST_F(SdlAltGrTest, AltGrIsLeftCtrlWithRightAltAndTypes) {
    mTranslator.NextKeyIsAltGr(true);
    Key(SDL_SCANCODE_RALT, true);
    mTranslator.NextKeyIsAltGr(false);
    Key(SDL_SCANCODE_E, true, SDLK_e);
    Text("\xE2\x82\xAC");
    mTranslator.NextKeyIsAltGr(false);
    Key(SDL_SCANCODE_E, false, SDLK_e);
    // SDL releases held keys itself when the focus goes, with no desktop event before: the
    // release is still AltGr's.
    Key(SDL_SCANCODE_RALT, false);
    std::vector<KeyMessage> expected = {
        {WM_KEYDOWN, VK_CONTROL, false}, {WM_KEYDOWN, VK_MENU, true}, {WM_KEYDOWN, 'E', false},
        {WM_CHAR, 0x20AC, false},        {WM_KEYUP, 'E', false},      {WM_KEYUP, VK_MENU, true},
        {WM_KEYUP, VK_CONTROL, false},
    };
    EXPECT_EQ(Keys(), expected);
    EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetAsyncKeyState(VK_MENU), 0);
}

TEST_F(SdlAltGrTest, PlainRightAltIsAltAndTypesNothing) {
    mTranslator.NextKeyIsAltGr(false);
    Key(SDL_SCANCODE_RALT, true);
    Key(SDL_SCANCODE_X, true, SDLK_x);
    Text("x");
    Key(SDL_SCANCODE_X, false, SDLK_x);
    Key(SDL_SCANCODE_RALT, false);
    std::vector<KeyMessage> expected = {
        {WM_SYSKEYDOWN, VK_MENU, true},
        {WM_SYSKEYDOWN, 'X', false},
        {WM_SYSKEYUP, 'X', false},
        {WM_KEYUP, VK_MENU, true},
    };
    EXPECT_EQ(Keys(), expected);
}

}  // namespace
