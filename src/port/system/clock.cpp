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
// The fake calendar in milliseconds, so that moves shorter than a second add up.
std::atomic<int64_t> gFakeCalendarMs{port::control::kDefaultCalendarTime * 1000};
std::atomic<port::ClockListener> gListener{nullptr};

void FakeClockMoved(DWORD milliseconds) {
    gFakeCalendarMs.fetch_add(milliseconds);
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

int64_t CalendarTime() {
    if (gFake.load()) return gFakeCalendarMs.load() / 1000;
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
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
void SetCalendarTime(int64_t seconds) {
    gFakeCalendarMs.store(seconds * 1000);
}
void SetSleepAdvancesClock(bool on) {
    gSleepAdvances.store(on);
}

}  // namespace port::control
