// A small world for the display's DirectX tests: the fake clock, the program's log captured, a
// window class, and helpers that read the call log of the DirectDraw and Direct3D calls and the
// log's lines. The port layer is put back around every test by the test program's main.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "port/control.h"
#include "port/window/window.h"
#include "support/logcapture.h"

namespace dx_testing {

constexpr DWORD kPopupStyle = WS_POPUP | WS_VISIBLE;

class DxTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown top-level window of the test class at the rectangle.
    HWND MakeWindow(DWORD style = kPopupStyle, RECT rect = RECT{0, 0, 640, 480});

    // The logged calls of the operation (all, when null), in order.
    static std::vector<port::control::LoggedCall> Calls(const char* operation = nullptr);
    // How many logged calls the operation had.
    static int CountCalls(const char* operation);
    // The log's messages, and whether one equals the text.
    std::vector<std::string> LogLines() const { return mLog.Messages(); }
    bool Logged(const std::string& text) const;
    // The index of the first message that starts with the text; -1 when none does.
    int LogIndex(const std::string& prefix) const;

    testing_support::LogCapture mLog;
};

// The value of "name=value" in a call's arguments; -1 when absent.
long long ArgOf(const port::control::LoggedCall& call, const std::string& name);

}  // namespace dx_testing
