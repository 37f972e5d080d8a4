// The play and write cursors of secondary buffers on the null device, moved by the fake clock:
// how far they go for a rate and a time, wrapping, the end of a buffer played once, Stop and
// Play, and the carried fraction of a frame.
#include <string>
#include <vector>

#include "port/system/clock.h"
#include "soundfixture.h"

namespace {

using sound_testing::BufferPtr;
using sound_testing::CursorsOf;
using sound_testing::SoundTest;
using sound_testing::StatusOf;

struct CursorCase {
    const char* name;
    DWORD rate;
    WORD channels;
    DWORD bytes;
    DWORD playFlags;
    std::vector<DWORD> advances;  // AdvanceTime steps, in milliseconds
    DWORD play;
    DWORD write;
    DWORD status;
};

constexpr DWORD kLoop = DSBPLAY_LOOPING;
constexpr DWORD kLooping = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING;
constexpr DWORD kTwoSeconds = 352800;  // 44,100 Hz stereo

const CursorCase kCursorCases[] = {
    // 4,410 frames of 4 bytes; write leads by 10 ms, 441 frames.
    {"100 ms at 44,100 Hz stereo", 44100, 2, kTwoSeconds, kLoop, {100}, 17640, 19404, kLooping},
    {"a looping 2 s buffer wraps", 44100, 2, kTwoSeconds, kLoop, {2100}, 17640, 19404, kLooping},
    {"and wraps in steps", 44100, 2, kTwoSeconds, kLoop, {1000, 1000, 100}, 17640, 19404, kLooping},
    // 87,979.5 frames: the half frame waits; write passes the end and wraps.
    {"write wraps before play", 44100, 2, kTwoSeconds, kLoop, {1995}, 351916, 880, kLooping},
    {"a buffer played once reaches its end", 44100, 2, 176400, 0, {1000}, 0, 0, 0},
    {"and stays at (0, 0)", 44100, 2, 176400, 0, {600, 600}, 0, 0, 0},
    {"once, before its end", 44100, 2, 176400, 0, {999}, 176220, 1584, DSBSTATUS_PLAYING},
    // 2,205 frames of 2 bytes; 10 ms of 44,100 bytes a second is 441 bytes, a whole frame more.
    {"22,050 Hz mono", 22050, 1, 88200, kLoop, {100}, 4410, 4852, kLooping},
    {"48,000 Hz stereo", 48000, 2, 384000, kLoop, {100}, 19200, 21120, kLooping},
    {"ten 1 ms steps",
     44100,
     2,
     kTwoSeconds,
     kLoop,
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
     1764,
     3528,
     kLooping},
    {"equal one 10 ms step", 44100, 2, kTwoSeconds, kLoop, {10}, 1764, 3528, kLooping},
    {"11,025 Hz mono in 1 ms steps", 11025, 1, 22050, kLoop, {1, 1, 1, 1}, 88, 310, kLooping},
};

TEST_F(SoundTest, CursorsFollowTheClock) {
    for (const CursorCase& c : kCursorCases) {
        SCOPED_TRACE(c.name);
        // A fresh output each time: the fraction of a frame the clock carries starts at 0.
        mSound.Reset();
        ASSERT_EQ(DirectSoundCreate(nullptr, mSound.Out(), nullptr), DS_OK);
        BufferPtr buffer(MakeBuffer(c.rate, c.channels, c.bytes));
        ASSERT_NE(buffer.get(), nullptr);
        ASSERT_EQ(buffer->Play(0, 0, c.playFlags), DS_OK);
        for (DWORD step : c.advances)
            port::control::AdvanceTime(step);
        sound_testing::Cursors cursors = CursorsOf(buffer.get());
        EXPECT_EQ(cursors.play, c.play);
        EXPECT_EQ(cursors.write, c.write);
        EXPECT_EQ(StatusOf(buffer.get()), c.status);
    }
}

TEST_F(SoundTest, StopKeepsTheCursorAndPlayGoesOnFromIt) {
    BufferPtr buffer(MakeBuffer(44100, 2, kTwoSeconds));
    EXPECT_EQ(CursorsOf(buffer.get()).play, 0u);
    EXPECT_EQ(CursorsOf(buffer.get()).write, 0u);  // stopped: write = play
    ASSERT_EQ(buffer->Play(0, 0, kLoop), DS_OK);
    port::control::AdvanceTime(100);
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 17640u);
    EXPECT_EQ(CursorsOf(buffer.get()).write, 17640u);
    EXPECT_EQ(StatusOf(buffer.get()), 0u);
    port::control::AdvanceTime(500);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 17640u);
    // Played once from there, to the end.
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(StatusOf(buffer.get()), DSBSTATUS_PLAYING);
    port::control::AdvanceTime(100);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 35280u);
    port::control::AdvanceTime(1900);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 0u);
    EXPECT_EQ(StatusOf(buffer.get()), 0u);
}

TEST_F(SoundTest, PlayingAgainChangesOnlyTheLooping) {
    BufferPtr buffer(MakeBuffer(44100, 2, 176400));
    ASSERT_EQ(buffer->Play(0, 0, kLoop), DS_OK);
    port::control::AdvanceTime(800);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);  // now once: it ends at its end instead of wrapping
    EXPECT_EQ(StatusOf(buffer.get()), DSBSTATUS_PLAYING);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 141120u);
    port::control::AdvanceTime(300);
    EXPECT_EQ(StatusOf(buffer.get()), 0u);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 0u);
}

TEST_F(SoundTest, PlayChecksItsArguments) {
    BufferPtr buffer(MakeBuffer(44100, 2, 176400));
    EXPECT_EQ(buffer->Play(1, 0, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Play(0, 1, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->Play(0, 0, 2), DSERR_INVALIDPARAM);
    EXPECT_EQ(StatusOf(buffer.get()), 0u);
}

TEST_F(SoundTest, EitherCursorMayBeAskedAlone) {
    BufferPtr buffer(MakeBuffer(44100, 2, kTwoSeconds));
    ASSERT_EQ(buffer->Play(0, 0, kLoop), DS_OK);
    port::control::AdvanceTime(100);
    DWORD play = 0;
    DWORD write = 0;
    EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(buffer->GetCurrentPosition(nullptr, &write), DS_OK);
    EXPECT_EQ(buffer->GetCurrentPosition(nullptr, nullptr), DS_OK);
    EXPECT_EQ(play, 17640u);
    EXPECT_EQ(write, 19404u);
}

TEST_F(SoundTest, SleepingOnTheFakeClockPlaysToo) {
    port::control::SetSleepAdvancesClock(true);
    BufferPtr buffer(MakeBuffer(44100, 2, kTwoSeconds));
    ASSERT_EQ(buffer->Play(0, 0, kLoop), DS_OK);
    Sleep(50);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 8820u);
    // A jump of the clock plays nothing; MixSound plays without moving it.
    port::control::SetTime(1000000);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 8820u);
    port::control::MixSound(441);
    EXPECT_EQ(CursorsOf(buffer.get()).play, 10584u);
}

}  // namespace
