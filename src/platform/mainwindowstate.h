// What the platform object keeps for the main window's services (mainwindowservices.cpp,
// screensetup.cpp): the current mouse-cursor image with its hot spot, the built-in system cursor
// image once loaded, the hosted full-screen wish, and whether the first screen set-up has run.
// The cursor-shown flag is the platform object's own (TWin32Platform::IsCursorVisible).
//
// Owned by the platform object (win32platform.h); main thread only.
#pragma once

#include <memory>

class TTexture;

struct TMainWindowState {
    // The image SetCursorImage stored (empty: the system cursor image) and its hot spot.
    std::shared_ptr<TTexture> cursorImage;
    int cursorHotX = 0;
    int cursorHotY = 0;
    // "__systemcursor__.png" as a cursor texture, loaded on first need and kept.
    std::shared_ptr<TTexture> systemCursorImage;
    // Hosted mode: the host was told that the game wants full screen (the display stays
    // windowed).
    bool hostFullscreenWish = false;
    // The first screen set-up made the font drawer and filled the root window.
    bool screenMade = false;
};
