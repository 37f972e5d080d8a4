// Position notifications: events set as the play cursor passes their offsets and when the buffer
// stops, the rules of SetNotificationPositions, and the notify interface a buffer gives only
// when it was made for it.
#include <thread>

#include "port/system/sync.h"
#include "soundfixture.h"

namespace {

using sound_testing::BufferPtr;
using sound_testing::NotifyPtr;
using sound_testing::SoundTest;

constexpr DWORD kOneSecond = 176400;

// Auto-reset events, closed at the end of the scope.
class Events {
public:
    explicit Events(int count) {
        for (int i = 0; i < count; ++i)
            mHandles.push_back(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    }
    ~Events() {
        for (HANDLE handle : mHandles)
            CloseHandle(handle);
    }
    HANDLE operator[](size_t i) const { return mHandles[i]; }
    // Whether the event was set since it was last taken; takes it.
    bool Taken(size_t i) const { return WaitForSingleObject(mHandles[i], 0) == WAIT_OBJECT_0; }

private:
    std::vector<HANDLE> mHandles;
};

IDirectSoundNotify* NotifyOf(IDirectSoundBuffer* buffer) {
    IDirectSoundNotify* notify = nullptr;
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)),
              DS_OK);
    return notify;
}

TEST_F(SoundTest, EventsFireAsTheCursorPassesTheirOffsetsAndAtStop) {
    BufferPtr buffer(MakeBuffer(44100, 2, kOneSecond));
    NotifyPtr notify(NotifyOf(buffer.get()));
    ASSERT_NE(notify.get(), nullptr);
    Events events(3);
    DSBPOSITIONNOTIFY positions[] = {
        {0, events[0]}, {kOneSecond / 2, events[1]}, {DSBPN_OFFSETSTOP, events[2]}};
    ASSERT_EQ(notify->SetNotificationPositions(3, positions), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);

    port::control::AdvanceTime(10);  // passes 0 as it starts
    EXPECT_TRUE(events.Taken(0));
    EXPECT_FALSE(events.Taken(1));
    port::control::AdvanceTime(480);  // up to 490 ms: not yet half
    EXPECT_FALSE(events.Taken(1));
    port::control::AdvanceTime(20);
    EXPECT_TRUE(events.Taken(1));
    EXPECT_FALSE(events.Taken(0));
    port::control::AdvanceTime(500);  // wraps past 0
    EXPECT_TRUE(events.Taken(0));
    EXPECT_FALSE(events.Taken(2));
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_TRUE(events.Taken(2));
    EXPECT_FALSE(events.Taken(0));
    EXPECT_FALSE(events.Taken(1));
    // Stopping a stopped buffer stops nothing.
    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_FALSE(events.Taken(2));
}

TEST_F(SoundTest, TheEndOfABufferPlayedOnceSetsTheStopEvent) {
    BufferPtr buffer(MakeBuffer(22050, 1, 4410));  // 100 ms
    NotifyPtr notify(NotifyOf(buffer.get()));
    Events events(1);
    DSBPOSITIONNOTIFY stop = {DSBPN_OFFSETSTOP, events[0]};
    ASSERT_EQ(notify->SetNotificationPositions(1, &stop), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    port::control::AdvanceTime(90);
    EXPECT_FALSE(events.Taken(0));
    port::control::AdvanceTime(20);
    EXPECT_TRUE(events.Taken(0));
}

TEST_F(SoundTest, AThreadWaitingOnAnEventWakesAsTheCursorPasses) {
    BufferPtr buffer(MakeBuffer(44100, 2, kOneSecond));
    NotifyPtr notify(NotifyOf(buffer.get()));
    Events events(1);
    DSBPOSITIONNOTIFY half = {kOneSecond / 2, events[0]};
    ASSERT_EQ(notify->SetNotificationPositions(1, &half), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD woke = WAIT_FAILED;
    std::thread waiter([&] { woke = WaitForSingleObject(events[0], INFINITE); });
    port::control::AdvanceTime(600);
    waiter.join();
    EXPECT_EQ(woke, WAIT_OBJECT_0);
}

TEST_F(SoundTest, PositionsAreSetOnlyWhileStoppedAndMustFitTheBuffer) {
    BufferPtr buffer(MakeBuffer(44100, 2, kOneSecond));
    NotifyPtr notify(NotifyOf(buffer.get()));
    Events events(1);
    DSBPOSITIONNOTIFY good = {0, events[0]};
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(notify->SetNotificationPositions(1, &good), DSERR_INVALIDCALL);
    ASSERT_EQ(buffer->Stop(), DS_OK);

    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    DSBPOSITIONNOTIFY atTheSize = {kOneSecond, events[0]};
    DSBPOSITIONNOTIFY noEvent = {0, nullptr};
    DSBPOSITIONNOTIFY aMutex = {0, mutex};
    EXPECT_EQ(notify->SetNotificationPositions(1, &atTheSize), DSERR_INVALIDPARAM);
    EXPECT_EQ(notify->SetNotificationPositions(1, &noEvent), DSERR_INVALIDPARAM);
    EXPECT_EQ(notify->SetNotificationPositions(1, &aMutex), DSERR_INVALIDPARAM);
    EXPECT_EQ(notify->SetNotificationPositions(1, nullptr), DSERR_INVALIDPARAM);
    std::vector<DSBPOSITIONNOTIFY> tooMany(1025, good);
    EXPECT_EQ(notify->SetNotificationPositions(1025, tooMany.data()), DSERR_INVALIDPARAM);
    EXPECT_EQ(notify->SetNotificationPositions(1024, tooMany.data()), DS_OK);
    CloseHandle(mutex);

    // A refused call keeps the positions there were; count 0 removes them.
    ASSERT_EQ(notify->SetNotificationPositions(1, &good), DS_OK);
    EXPECT_EQ(notify->SetNotificationPositions(1, &atTheSize), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Play(0, 0, 0), DS_OK);
    port::control::AdvanceTime(10);
    EXPECT_TRUE(events.Taken(0));
    ASSERT_EQ(buffer->Stop(), DS_OK);
    ASSERT_EQ(notify->SetNotificationPositions(0, nullptr), DS_OK);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    port::control::AdvanceTime(1500);
    EXPECT_FALSE(events.Taken(0));
}

TEST_F(SoundTest, OnlyABufferMadeForItGivesTheNotifyInterface) {
    BufferPtr plain(MakeBuffer(44100, 2, kOneSecond, DSBCAPS_CTRLVOLUME));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(plain->QueryInterface(IID_IDirectSoundNotify, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    BufferPtr notifying(MakeBuffer(44100, 2, kOneSecond));
    EXPECT_EQ(notifying->QueryInterface(IID_IUnknown, &object), E_NOINTERFACE);
    EXPECT_EQ(notifying->QueryInterface(IID_IDirectSoundNotify, nullptr), E_POINTER);
    // The notify interface keeps its buffer.
    NotifyPtr notify(NotifyOf(notifying.get()));
    notifying.Reset();
    Events events(1);
    DSBPOSITIONNOTIFY good = {0, events[0]};
    EXPECT_EQ(notify->SetNotificationPositions(1, &good), DS_OK);
    EXPECT_EQ(port::control::SoundBuffers().size(), 2u);
    notify.Reset();
    EXPECT_EQ(port::control::SoundBuffers().size(), 1u);
}

}  // namespace
