// A small world for window tests: the window system reset, the fake clock on, and a window
// class whose procedure records every message (and may be told how to answer some).
// BothBackendsTest runs the same tests on either backend, named by the test's parameter: the
// window system in memory ("headless") or shown on an X server ("sdl"). The sdl cases need a
// display: CTest runs them under Xvfb (port_tests_xvfb); elsewhere they are skipped.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
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

class BothBackendsTest : public WindowTest, public ::testing::WithParamInterface<const char*> {
protected:
    // Selects the backend after the base set-up (the test program resets to headless around
    // every test).
    void SetUp() override;

    bool IsSdl() const;
    // Takes what the desktop sends back for a while (the echoes of the program's own changes:
    // exposes, focus, moves), then every queued message. Only Pump on headless.
    std::vector<MSG> Settle();
    // The SDL window's client size matches the model's (sdl only).
    void ExpectShownSize(HWND window);
    // The clipboard as another program sees it: the X server's on sdl, the control plane's on
    // headless. False when it holds no text.
    bool OutsideClipboard(std::string* text);
    void PutOutside(const std::string& text);
    void ClearOutside();
};

// The test name's suffix: the backend.
std::string BackendName(const ::testing::TestParamInfo<const char*>& info);

}  // namespace window_testing
