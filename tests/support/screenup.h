// The display a test draws through: the application object's main window shown and made the
// foreground window (its messages handled), then the screen set up in a window on the headless
// backend, as the game does at start-up. The test owns the application object and its teardown.
#pragma once

#include "platform/platform.h"
#include "platform/win32platform.h"
#include "port/system/showcommand.h"
#include "port/window/activation.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace testing_support {

inline void ShowWindowAndSetupScreen(TPlatform& app, int width, int height) {
    app.CreateMainWindow();
    HWND window = app.GetPlatform()->GetMainWindow();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    app.SetupScreen(width, height, false);
}

}  // namespace testing_support
