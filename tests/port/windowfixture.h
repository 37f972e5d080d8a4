// A small world for window tests: the window system reset, the fake clock on, and a window
// class whose procedure records every message (and may be told how to answer some).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "port/control.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace window_testing {

struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    WINDOWPOS pos;  // for the WINDOWPOS messages
};

// The messages the recording procedure saw, in order.
std::vector<Seen>& Log();
// When set, asked first: an answer skips DefWindowProc.
using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
void SetHook(Hook hook);

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

constexpr DWORD kMainStyle = 0x00CE0000;  // caption, system menu, sizing frame, minimise box

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Registers the recording class (Unicode unless ansi) once per test.
    void RegisterClasses();
    // A top-level window of the recording class, shown and activated unless hidden.
    HWND MakeWindow(DWORD style = kMainStyle, DWORD exStyle = 0, bool show = true,
                    RECT rect = RECT{0, 0, 480, 360}, bool ansi = false);
    HWND MakeChild(HWND parent, RECT rect);
    // Takes every message from the queue, translating and dispatching each; answers them.
    std::vector<MSG> Pump();
    // Only the messages of one kind that the procedure saw (for one window, unless null).
    std::vector<Seen> Messages(UINT message, HWND window = nullptr) const;
    void ClearLog() { Log().clear(); }
};

}  // namespace window_testing
