#include "port/system/clock.h"

#include <gtest/gtest.h>

#include <ctime>

#include "port/control.h"

namespace {

class FakeClockTest : public ::testing::Test {
protected:
    void SetUp() override { port::control::UseFakeClock(true); }
};

TEST_F(FakeClockTest, SetAndAdvanceWrapAt32Bits) {
    port::control::SetTime(0xFFFFFFF0u);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u);
    port::control::AdvanceTime(0x20);
    EXPECT_EQ(timeGetTime(), 0x10u);
}

TEST_F(FakeClockTest, SleepAdvancesOnlyWhenAsked) {
    port::control::SetTime(1000);
    port::control::SetSleepAdvancesClock(true);
    Sleep(250);
    EXPECT_EQ(timeGetTime(), 1250u);
    port::control::SetSleepAdvancesClock(false);
    Sleep(1);  // a real, short sleep; the fake clock stays
    EXPECT_EQ(timeGetTime(), 1250u);
}

TEST_F(FakeClockTest, TheCalendarFollowsTheFakeClock) {
    EXPECT_EQ(CalendarTime(), port::control::kDefaultCalendarTime);
    port::control::SetCalendarTime(5000);
    port::control::SetTime(0);  // a jump of the clock leaves the calendar
    EXPECT_EQ(CalendarTime(), 5000);
    port::control::AdvanceTime(999);
    EXPECT_EQ(CalendarTime(), 5000);
    port::control::AdvanceTime(1);  // milliseconds add up across moves
    EXPECT_EQ(CalendarTime(), 5001);
    port::control::SetSleepAdvancesClock(true);
    Sleep(3000);
    EXPECT_EQ(CalendarTime(), 5004);
    port::control::ResetSystem();
    port::control::UseFakeClock(true);
    EXPECT_EQ(CalendarTime(), port::control::kDefaultCalendarTime);
}

TEST(ClockTest, TheRealCalendarIsTheSystemsTime) {
    const int64_t before = std::time(nullptr);
    const int64_t now = CalendarTime();
    EXPECT_GE(now, before);
    EXPECT_LE(now, std::time(nullptr));
}

TEST(ClockTest, RealClockDoesNotGoBack) {
    DWORD first = timeGetTime();
    DWORD second = timeGetTime();
    EXPECT_LE(static_cast<int32_t>(first - second), 0);
    EXPECT_EQ(timeBeginPeriod(1), 0u);
    EXPECT_EQ(timeEndPeriod(1), 0u);
}

}  // namespace
