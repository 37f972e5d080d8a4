// The window the render benchmarks' displays stand on: one shown 800 x 600 pop-up for the whole
// run, made on first use (the main thread's).
#pragma once

#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace bench {

inline HWND RenderBenchWindow() {
    static HWND window = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "RenderBench";
        RegisterClassA(&windowClass);
        HWND made = CreateWindowExA(0, "RenderBench", "Umbrava", WS_POPUP | WS_VISIBLE, 0, 0, 800,
                                    600, nullptr, nullptr, nullptr, nullptr);
        ShowWindow(made, SW_SHOWNORMAL);
        return made;
    }();
    return window;
}

}  // namespace bench
