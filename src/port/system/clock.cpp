#include "port/system/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "port/system/clockstate.h"
#include "port/system/control.h"

namespace {

std::atomic<bool> gFake{false};
std::atomic<DWORD> gFakeNow{0};
std::atomic<bool> gSleepAdvances{false};
std::atomic<port::ClockListener> gListener{nullptr};

void FakeClockMoved(DWORD milliseconds) {
    if (port::ClockListener listener = gListener.load()) listener(milliseconds);
}

DWORD MonotonicMilliseconds() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return static_cast<DWORD>(static_cast<uint64_t>(ms));
}

}  // namespace

namespace port {
bool FakeClockOn() {
    return gFake.load();
}
bool FakeSleepAdvances() {
    return gSleepAdvances.load();
}
void SetClockListener(ClockListener listener) {
    gListener.store(listener);
}
}  // namespace port

DWORD timeGetTime() {
    return gFake.load() ? gFakeNow.load() : MonotonicMilliseconds();
}

DWORD GetTickCount() {
    return timeGetTime();
}

void Sleep(DWORD milliseconds) {
    if (gFake.load() && gSleepAdvances.load()) {
        gFakeNow.fetch_add(milliseconds);
        FakeClockMoved(milliseconds);
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

UINT timeBeginPeriod(UINT) {
    return 0;
}
UINT timeEndPeriod(UINT) {
    return 0;
}

namespace port::control {

void UseFakeClock(bool on) {
    gFake.store(on);
}
bool IsFakeClock() {
    return gFake.load();
}
void SetTime(DWORD now) {
    gFakeNow.store(now);
}
void AdvanceTime(DWORD milliseconds) {
    gFakeNow.fetch_add(milliseconds);
    if (gFake.load()) FakeClockMoved(milliseconds);
}
void SetSleepAdvancesClock(bool on) {
    gSleepAdvances.store(on);
}

}  // namespace port::control
