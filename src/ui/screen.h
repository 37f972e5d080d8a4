// TScreen: the root screen window "_screen_", the window under every other one. The first screen
// set-up makes it, the window manager takes it (TWindowManager::SetScreen) and the set-up sizes
// it; the software cursor's draw reads its rectangle from the platform's cursor worker.
//
// Owned by the window manager; made on the main thread.
#pragma once

#include "ui/window.h"

class TScreen : public TWindow {
public:
    TScreen() : TWindow("_screen_") {}
};
