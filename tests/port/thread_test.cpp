#include "port/system/thread.h"

#include <gtest/gtest.h>

#include <atomic>

#include "port/control.h"
#include "port/system/clock.h"
#include "port/system/lasterror.h"
#include "port/system/sync.h"

namespace {

struct Gate {
    std::atomic<bool> open{false};
    std::atomic<bool> ended{false};
};

DWORD WaitAtGate(void* parameter) {
    auto* gate = static_cast<Gate*>(parameter);
    while (!gate->open)
        Sleep(1);
    gate->ended = true;
    return 42;
}

TEST(ThreadTest, ExitCodeIsStillActiveWhileRunning) {
    Gate gate;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitAtGate, &gate, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    gate.open = true;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(ThreadTest, ClosingTheHandleOfARunningThreadDetachesIt) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, WaitAtGate, &gate, 0, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    gate.open = true;
    while (!gate.ended)
        Sleep(1);  // it ran on to its end
}

TEST(ThreadTest, InjectedFailureAndIds) {
    port::control::InjectFailure("CreateThread", ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(CreateThread(nullptr, 0, WaitAtGate, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    EXPECT_NE(GetCurrentThreadId(), 0u);
}

}  // namespace
