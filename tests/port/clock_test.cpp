#include "port/system/clock.h"

#include <gtest/gtest.h>

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

TEST(ClockTest, RealClockDoesNotGoBack) {
    DWORD first = timeGetTime();
    DWORD second = timeGetTime();
    EXPECT_LE(static_cast<int32_t>(first - second), 0);
    EXPECT_EQ(timeBeginPeriod(1), 0u);
    EXPECT_EQ(timeEndPeriod(1), 0u);
}

}  // namespace
