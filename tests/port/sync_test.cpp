#include "port/system/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "port/control.h"
#include "port/system/lasterror.h"
#include "port/system/thread.h"

namespace {

// Runs f on another thread and waits for it.
template <typename F>
void OnOtherThread(F f) {
    std::thread thread(f);
    thread.join();
}

TEST(MutexTest, RecursiveOnTheOwner) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
    // Still held once: another thread cannot take it.
    OnOtherThread([mutex] { EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT); });
    EXPECT_TRUE(ReleaseMutex(mutex));
    OnOtherThread([mutex] {
        EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
        EXPECT_TRUE(ReleaseMutex(mutex));
    });
    EXPECT_TRUE(CloseHandle(mutex));
}

TEST(MutexTest, NonOwnerReleaseFails) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    OnOtherThread([mutex] {
        EXPECT_FALSE(ReleaseMutex(mutex));
        EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    });
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));  // no longer owned by anyone
    CloseHandle(mutex);
}

TEST(MutexTest, NamedMutexOpensTheSameObject) {
    HANDLE first = CreateMutexA(nullptr, TRUE, "SyncTestNamed");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE second = CreateMutexA(nullptr, TRUE, "SyncTestNamed");
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    // Opening an existing mutex does not take it, and both handles name one mutex.
    EXPECT_TRUE(ReleaseMutex(second));
    EXPECT_FALSE(ReleaseMutex(first));
    CloseHandle(first);
    CloseHandle(second);
    // With every handle closed the name is free again.
    HANDLE third = CreateMutexA(nullptr, FALSE, "SyncTestNamed");
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(third);
}

TEST(MutexTest, TimedWaitTimesOutWhileHeldElsewhere) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    OnOtherThread([mutex] { EXPECT_EQ(WaitForSingleObject(mutex, 20), WAIT_TIMEOUT); });
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

TEST(MutexTest, WaiterWakesWhenReleased) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
    std::atomic<bool> waiting{false};
    std::thread waiter([&] {
        waiting = true;
        EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0);
        EXPECT_TRUE(ReleaseMutex(mutex));
    });
    while (!waiting)
        std::this_thread::yield();
    ReleaseMutex(mutex);
    waiter.join();
    CloseHandle(mutex);
}

TEST(MutexTest, OwnerThreadEndingAbandonsIt) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    OnOtherThread([mutex] { EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0); });
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // abandoned once only
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

DWORD TakeAndReturn(void* mutex) {
    WaitForSingleObject(static_cast<HANDLE>(mutex), INFINITE);
    return 7;
}

TEST(MutexTest, PortThreadEndingAbandonsItBeforeItCountsAsEnded) {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, TakeAndReturn, mutex, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_ABANDONED);
    ReleaseMutex(mutex);
    CloseHandle(thread);
    CloseHandle(mutex);
}

TEST(MutexTest, BadHandles) {
    HANDLE bogus = reinterpret_cast<HANDLE>(0x7FFF0);
    EXPECT_FALSE(CloseHandle(bogus));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WaitForSingleObject(bogus, 0), WAIT_FAILED);
    EXPECT_FALSE(ReleaseMutex(bogus));
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_TRUE(CloseHandle(mutex));
    EXPECT_FALSE(CloseHandle(mutex));
}

TEST(MutexTest, InjectedFailure) {
    port::control::InjectFailure("CreateMutexA", ERROR_ACCESS_DENIED, 1);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);  // the count ran out
    EXPECT_NE(mutex, nullptr);
    CloseHandle(mutex);
}

TEST(EventTest, AnAutoResetEventLetsOneWaitThroughAndResets) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_TRUE(SetEvent(event));  // set twice is set once
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    HANDLE initiallySet = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(initiallySet, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(initiallySet, 0), WAIT_TIMEOUT);
    CloseHandle(initiallySet);
    CloseHandle(event);
}

TEST(EventTest, AManualResetEventStaysSet) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    OnOtherThread([event] { EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0); });
    CloseHandle(event);
}

TEST(EventTest, SettingWakesAWaiter) {
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::atomic<DWORD> woke{WAIT_FAILED};
    std::thread waiter([&] { woke = WaitForSingleObject(event, INFINITE); });
    EXPECT_TRUE(SetEvent(event));
    waiter.join();
    EXPECT_EQ(woke.load(), WAIT_OBJECT_0);
    // The waiter took it.
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(event, 20), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(EventTest, NamesBadHandlesAndInjectedFailures) {
    SetLastError(0);
    EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, "named"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SetEvent(reinterpret_cast<HANDLE>(0x7FFF0)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_FALSE(SetEvent(mutex));  // not an event
    CloseHandle(mutex);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, "");
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_FALSE(SetEvent(event));

    port::control::InjectFailure("CreateEventA", ERROR_NOT_ENOUGH_MEMORY, 1);
    EXPECT_EQ(CreateEventA(nullptr, FALSE, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_NE(event, nullptr);
    CloseHandle(event);
}

}  // namespace
