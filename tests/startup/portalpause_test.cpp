#include <gtest/gtest.h>

#include "audio/soundmanager.h"
#include "mainwindowfixture.h"
#include "platform/platform.h"
#include "platform/portalpause.h"
#include "platform/win32platform.h"
#include "port/system/clock.h"
#include "port/window/cursor.h"

namespace startup_test {
namespace {

constexpr float kVolume = 0.75f;

// The portal state put back around each test.
class PortalTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ResetPortalState();
    }
    void TearDown() override {
        ResetPortalState();
        MainWindowTest::TearDown();
    }
};

// Every combination of the six conditions: silence while the host mutes, the game is paused, a
// break is set or the game mutes, and outside the second portal mode while no session runs. The
// master volume is saved going silent and put back leaving it.
TEST_F(PortalTest, PortalMuteTruthTable) {
    RunWith("", [](TPlatform* platform) {
        TSoundManager* sound = platform->GetSoundManager();
        ASSERT_NE(sound, nullptr);
        for (int bits = 0; bits < 64; ++bits) {
            ResetPortalState();
            sound->SetMasterVolume(kVolume);
            TPortalState& state = GetPortalState();
            state.hostMute = (bits & 1) != 0;
            state.paused = (bits & 2) != 0;
            state.inBreak = (bits & 4) != 0;
            state.gameMute = (bits & 8) != 0;
            state.session = (bits & 16) != 0;
            state.zylomMode = (bits & 32) != 0;
            bool silence = (bits & 15) != 0 || (!state.zylomMode && !state.session);

            PortalUpdateMute();
            EXPECT_FLOAT_EQ(sound->GetVolume(-1), silence ? 0.0f : kVolume) << bits;
            PortalUpdateMute();  // again: nothing changes, the saved volume is kept
            EXPECT_FLOAT_EQ(sound->GetVolume(-1), silence ? 0.0f : kVolume) << bits;

            // Every reason gone: the volume comes back when it was taken.
            state.hostMute = state.paused = state.inBreak = state.gameMute = false;
            state.session = true;
            PortalUpdateMute();
            EXPECT_FLOAT_EQ(sound->GetVolume(-1), kVolume) << bits;
        }
    });
}

TEST_F(PortalTest, PortalMuteLeavesAVolumeSetWhileNotMutedAlone) {
    RunWith("", [](TPlatform* platform) {
        TSoundManager* sound = platform->GetSoundManager();
        TPortalState& state = GetPortalState();
        state.session = true;
        sound->SetMasterVolume(0.5f);
        PortalUpdateMute();
        EXPECT_FLOAT_EQ(sound->GetVolume(-1), 0.5f);
        sound->SetMasterVolume(0.25f);  // the game's own change while not muted
        state.hostMute = true;
        PortalUpdateMute();
        EXPECT_FLOAT_EQ(sound->GetVolume(-1), 0.0f);
        state.hostMute = false;
        PortalUpdateMute();
        EXPECT_FLOAT_EQ(sound->GetVolume(-1), 0.25f);
    });
}

TEST_F(PortalTest, PortalPauseTwicePausesOnce) {
    RunWith("", [](TPlatform* platform) {
        TPortalState& state = GetPortalState();
        state.gameClock.Start();
        port::control::AdvanceTime(100);
        DWORD start = GetTickCount();

        PortalPause();
        EXPECT_TRUE(state.paused);
        EXPECT_EQ(state.pauseStart, start);
        EXPECT_TRUE(state.gameClock.IsPaused());
        uint32_t frozen = state.gameClock.GetTime();
        EXPECT_FALSE(platform->GetPlatform()->IsCursorVisible());
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));

        port::control::AdvanceTime(500);
        platform->ShowCursor(true);
        PortalPause();
        EXPECT_EQ(state.pauseStart, start);
        EXPECT_EQ(state.gameClock.GetTime(), frozen);
        EXPECT_TRUE(platform->GetPlatform()->IsCursorVisible());
    });
}

TEST_F(PortalTest, PortalPauseInABreakLeavesTheClockAndCursorAlone) {
    RunWith("", [](TPlatform* platform) {
        TPortalState& state = GetPortalState();
        state.gameClock.Start();
        state.inBreak = true;
        SetCursor(nullptr);
        PortalPause();
        EXPECT_TRUE(state.paused);
        EXPECT_FALSE(state.gameClock.IsPaused());
        EXPECT_TRUE(platform->GetPlatform()->IsCursorVisible());
        EXPECT_EQ(GetCursor(), nullptr);
    });
}

}  // namespace
}  // namespace startup_test
