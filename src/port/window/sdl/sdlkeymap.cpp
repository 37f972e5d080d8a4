#include "port/window/sdl/sdlkeymap.h"

#include "port/window/vkeys.h"

namespace port::sdl {
namespace {

struct Entry {
    SDL_Scancode scancode;
    UINT code;
    bool extended;
};

// Every key with a Windows code that is not a letter.
constexpr Entry kKeys[] = {
    {SDL_SCANCODE_1, '1', false},
    {SDL_SCANCODE_2, '2', false},
    {SDL_SCANCODE_3, '3', false},
    {SDL_SCANCODE_4, '4', false},
    {SDL_SCANCODE_5, '5', false},
    {SDL_SCANCODE_6, '6', false},
    {SDL_SCANCODE_7, '7', false},
    {SDL_SCANCODE_8, '8', false},
    {SDL_SCANCODE_9, '9', false},
    {SDL_SCANCODE_0, '0', false},
    {SDL_SCANCODE_RETURN, VK_RETURN, false},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, false},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, false},
    {SDL_SCANCODE_TAB, VK_TAB, false},
    {SDL_SCANCODE_SPACE, VK_SPACE, false},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, false},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, false},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, false},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, false},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5, false},
    {SDL_SCANCODE_NONUSHASH, VK_OEM_5, false},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, false},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, false},
    {SDL_SCANCODE_GRAVE, VK_OEM_3, false},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, false},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, false},
    {SDL_SCANCODE_SLASH, VK_OEM_2, false},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, false},
    {SDL_SCANCODE_F1, VK_F1, false},
    {SDL_SCANCODE_F2, VK_F2, false},
    {SDL_SCANCODE_F3, VK_F3, false},
    {SDL_SCANCODE_F4, VK_F4, false},
    {SDL_SCANCODE_F5, VK_F5, false},
    {SDL_SCANCODE_F6, VK_F6, false},
    {SDL_SCANCODE_F7, VK_F7, false},
    {SDL_SCANCODE_F8, VK_F8, false},
    {SDL_SCANCODE_F9, VK_F9, false},
    {SDL_SCANCODE_F10, VK_F10, false},
    {SDL_SCANCODE_F11, VK_F11, false},
    {SDL_SCANCODE_F12, VK_F12, false},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, true},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, false},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, false},
    {SDL_SCANCODE_INSERT, VK_INSERT, true},
    {SDL_SCANCODE_HOME, VK_HOME, true},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, true},
    {SDL_SCANCODE_DELETE, VK_DELETE, true},
    {SDL_SCANCODE_END, VK_END, true},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, true},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, true},
    {SDL_SCANCODE_LEFT, VK_LEFT, true},
    {SDL_SCANCODE_DOWN, VK_DOWN, true},
    {SDL_SCANCODE_UP, VK_UP, true},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, true},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, true},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, false},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, false},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, false},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, true},
    {SDL_SCANCODE_KP_1, VK_NUMPAD1, false},
    {SDL_SCANCODE_KP_2, VK_NUMPAD2, false},
    {SDL_SCANCODE_KP_3, VK_NUMPAD3, false},
    {SDL_SCANCODE_KP_4, VK_NUMPAD4, false},
    {SDL_SCANCODE_KP_5, VK_NUMPAD5, false},
    {SDL_SCANCODE_KP_6, VK_NUMPAD6, false},
    {SDL_SCANCODE_KP_7, VK_NUMPAD7, false},
    {SDL_SCANCODE_KP_8, VK_NUMPAD8, false},
    {SDL_SCANCODE_KP_9, VK_NUMPAD9, false},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0, false},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, false},
    {SDL_SCANCODE_KP_COMMA, VK_SEPARATOR, false},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, false},
    {SDL_SCANCODE_APPLICATION, VK_APPS, true},
    {SDL_SCANCODE_MENU, VK_APPS, true},
    {SDL_SCANCODE_F13, VK_F13, false},
    {SDL_SCANCODE_F14, VK_F13 + 1, false},
    {SDL_SCANCODE_F15, VK_F13 + 2, false},
    {SDL_SCANCODE_F16, VK_F13 + 3, false},
    {SDL_SCANCODE_F17, VK_F13 + 4, false},
    {SDL_SCANCODE_F18, VK_F13 + 5, false},
    {SDL_SCANCODE_F19, VK_F13 + 6, false},
    {SDL_SCANCODE_F20, VK_F13 + 7, false},
    {SDL_SCANCODE_F21, VK_F13 + 8, false},
    {SDL_SCANCODE_F22, VK_F13 + 9, false},
    {SDL_SCANCODE_F23, VK_F13 + 10, false},
    {SDL_SCANCODE_F24, VK_F24, false},
    {SDL_SCANCODE_EXECUTE, VK_EXECUTE, false},
    {SDL_SCANCODE_HELP, VK_HELP, false},
    {SDL_SCANCODE_SELECT, VK_SELECT, false},
    {SDL_SCANCODE_STOP, VK_BROWSER_STOP, true},
    {SDL_SCANCODE_MUTE, VK_VOLUME_MUTE, true},
    {SDL_SCANCODE_VOLUMEUP, VK_VOLUME_UP, true},
    {SDL_SCANCODE_VOLUMEDOWN, VK_VOLUME_DOWN, true},
    {SDL_SCANCODE_CLEAR, VK_CLEAR, false},
    {SDL_SCANCODE_LCTRL, VK_LCONTROL, false},
    {SDL_SCANCODE_LSHIFT, VK_LSHIFT, false},
    {SDL_SCANCODE_LALT, VK_LMENU, false},
    {SDL_SCANCODE_LGUI, VK_LWIN, true},
    {SDL_SCANCODE_RCTRL, VK_RCONTROL, true},
    {SDL_SCANCODE_RSHIFT, VK_RSHIFT, false},
    {SDL_SCANCODE_RALT, VK_RMENU, true},
    {SDL_SCANCODE_RGUI, VK_RWIN, true},
    {SDL_SCANCODE_AUDIONEXT, VK_MEDIA_NEXT_TRACK, true},
    {SDL_SCANCODE_AUDIOPREV, VK_MEDIA_PREV_TRACK, true},
    {SDL_SCANCODE_AUDIOSTOP, VK_MEDIA_STOP, true},
    {SDL_SCANCODE_AUDIOPLAY, VK_MEDIA_PLAY_PAUSE, true},
    {SDL_SCANCODE_MEDIASELECT, VK_LAUNCH_MEDIA_SELECT, true},
    {SDL_SCANCODE_WWW, VK_BROWSER_HOME, true},
    {SDL_SCANCODE_MAIL, VK_LAUNCH_MAIL, true},
    {SDL_SCANCODE_CALCULATOR, VK_LAUNCH_APP2, true},
    {SDL_SCANCODE_COMPUTER, VK_LAUNCH_APP1, true},
    {SDL_SCANCODE_AC_SEARCH, VK_BROWSER_SEARCH, true},
    {SDL_SCANCODE_AC_HOME, VK_BROWSER_HOME, true},
    {SDL_SCANCODE_AC_BACK, VK_BROWSER_BACK, true},
    {SDL_SCANCODE_AC_FORWARD, VK_BROWSER_FORWARD, true},
    {SDL_SCANCODE_AC_STOP, VK_BROWSER_STOP, true},
    {SDL_SCANCODE_AC_REFRESH, VK_BROWSER_REFRESH, true},
    {SDL_SCANCODE_AC_BOOKMARKS, VK_BROWSER_FAVORITES, true},
    {SDL_SCANCODE_SLEEP, VK_SLEEP, true},
};

// The keypad without Num Lock: Insert, End, Down, Page Down, Left, Clear, Right, Home, Up, Page
// Up for 0 to 9, Delete for the point; not extended, which tells them from the separate block.
UINT NavigationOfKeypad(SDL_Scancode scancode) {
    switch (scancode) {
        case SDL_SCANCODE_KP_0:
            return VK_INSERT;
        case SDL_SCANCODE_KP_1:
            return VK_END;
        case SDL_SCANCODE_KP_2:
            return VK_DOWN;
        case SDL_SCANCODE_KP_3:
            return VK_NEXT;
        case SDL_SCANCODE_KP_4:
            return VK_LEFT;
        case SDL_SCANCODE_KP_5:
            return VK_CLEAR;
        case SDL_SCANCODE_KP_6:
            return VK_RIGHT;
        case SDL_SCANCODE_KP_7:
            return VK_HOME;
        case SDL_SCANCODE_KP_8:
            return VK_UP;
        case SDL_SCANCODE_KP_9:
            return VK_PRIOR;
        case SDL_SCANCODE_KP_PERIOD:
            return VK_DELETE;
        default:
            return 0;
    }
}

// The US punctuation keys by the character they type.
UINT PunctuationKey(SDL_Keycode sym) {
    switch (sym) {
        case SDLK_SEMICOLON:
            return VK_OEM_1;
        case SDLK_EQUALS:
            return VK_OEM_PLUS;
        case SDLK_COMMA:
            return VK_OEM_COMMA;
        case SDLK_MINUS:
            return VK_OEM_MINUS;
        case SDLK_PERIOD:
            return VK_OEM_PERIOD;
        case SDLK_SLASH:
            return VK_OEM_2;
        case SDLK_BACKQUOTE:
            return VK_OEM_3;
        case SDLK_LEFTBRACKET:
            return VK_OEM_4;
        case SDLK_BACKSLASH:
            return VK_OEM_5;
        case SDLK_RIGHTBRACKET:
            return VK_OEM_6;
        case SDLK_QUOTE:
            return VK_OEM_7;
        default:
            return 0;
    }
}

}  // namespace

VirtualKey VirtualKeyFromSdl(const SDL_Keysym& key) {
    if (key.sym >= SDLK_a && key.sym <= SDLK_z) {
        return VirtualKey{static_cast<UINT>('A' + (key.sym - SDLK_a)), false};
    }
    if (key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_Z) {
        // A letter position that types punctuation in this layout is that punctuation key;
        // one that types no Latin character keeps its letter.
        if (UINT punctuation = PunctuationKey(key.sym)) return VirtualKey{punctuation, false};
        return VirtualKey{static_cast<UINT>('A' + (key.scancode - SDL_SCANCODE_A)), false};
    }
    if ((key.mod & KMOD_NUM) == 0) {
        if (UINT navigation = NavigationOfKeypad(key.scancode))
            return VirtualKey{navigation, false};
    }
    for (const Entry& entry : kKeys) {
        if (entry.scancode == key.scancode) return VirtualKey{entry.code, entry.extended};
    }
    return VirtualKey{0, false};
}

}  // namespace port::sdl
