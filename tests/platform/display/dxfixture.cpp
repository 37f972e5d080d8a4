#include "dxfixture.h"

#include <cstdlib>

#include "port/window/windowpos.h"

namespace dx_testing {

void DxTest::SetUp() {
    port::control::UseFakeClock(true);
    port::control::SetTime(100000);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "DxTestWindow";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    port::control::KeepCallLog(true);
}

void DxTest::TearDown() {
    port::control::ClearFailures();
}

HWND DxTest::MakeWindow(DWORD style, RECT rect) {
    HWND window = CreateWindowExA(0, "DxTestWindow", "Umbrava", style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  nullptr, nullptr);
    EXPECT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

std::vector<port::control::LoggedCall> DxTest::Calls(const char* operation) {
    std::vector<port::control::LoggedCall> calls;
    for (const auto& call : port::control::CallLog()) {
        if (operation == nullptr || call.operation == operation) calls.push_back(call);
    }
    return calls;
}

int DxTest::CountCalls(const char* operation) {
    return static_cast<int>(Calls(operation).size());
}

bool DxTest::Logged(const std::string& text) const {
    for (const std::string& line : mLog.Messages()) {
        if (line == text) return true;
    }
    return false;
}

int DxTest::LogIndex(const std::string& prefix) const {
    std::vector<std::string> lines = mLog.Messages();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
    }
    return -1;
}

long long ArgOf(const port::control::LoggedCall& call, const std::string& name) {
    std::string key = name + "=";
    size_t at = 0;
    while ((at = call.args.find(key, at)) != std::string::npos) {
        if (at == 0 || call.args[at - 1] == ' ') {
            return std::strtoll(call.args.c_str() + at + key.size(), nullptr, 0);
        }
        at += key.size();
    }
    return -1;
}

}  // namespace dx_testing
