// The sound device: DirectSoundCreate, the cooperative level and the primary buffer's format,
// the checks of a secondary buffer's description and format, the memory budget, what the control
// plane sees, and the lifetime of buffers that outlive their device or are released while they
// play.
#include <functional>
#include <vector>

#include "soundfixture.h"
#include "windowfixture.h"

namespace {

using sound_testing::BufferDesc;
using sound_testing::BufferPtr;
using sound_testing::PcmFormat;
using sound_testing::SoundPtr;
using sound_testing::SoundTest;

TEST(DirectSoundCreateTest, AnswersForTheDefaultDeviceOnly) {
    SoundPtr sound;
    GUID device = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(DirectSoundCreate(&device, sound.Out(), nullptr), DSERR_NODRIVER);
    EXPECT_EQ(sound.get(), nullptr);
    EXPECT_EQ(DirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(DirectSoundCreate(nullptr, sound.Out(), reinterpret_cast<IUnknown*>(&device)),
              DSERR_INVALIDPARAM);
    EXPECT_EQ(sound.get(), nullptr);
    ASSERT_EQ(DirectSoundCreate(nullptr, sound.Out(), nullptr), DS_OK);
    void* object = nullptr;
    EXPECT_EQ(sound->QueryInterface(IID_IUnknown, &object), E_NOINTERFACE);
    std::vector<port::control::SoundDeviceInfo> devices = port::control::SoundDevices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].id, port::control::SoundDeviceId(sound.get()));
    EXPECT_EQ(devices[0].level, 0u);
    sound.Reset();
    EXPECT_TRUE(port::control::SoundDevices().empty());
}

class SoundWindowTest : public window_testing::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_EQ(DirectSoundCreate(nullptr, mSound.Out(), nullptr), DS_OK);
        DSBUFFERDESC desc = BufferDesc(nullptr, 0, DSBCAPS_PRIMARYBUFFER);
        ASSERT_EQ(mSound->CreateSoundBuffer(&desc, mPrimary.Out(), nullptr), DS_OK);
    }
    void TearDown() override {
        mPrimary.Reset();
        mSound.Reset();
        WindowTest::TearDown();
    }

    SoundPtr mSound;
    BufferPtr mPrimary;
};

TEST_F(SoundWindowTest, ThePrimaryFormatNeedsThePriorityLevel) {
    WAVEFORMATEX output = PcmFormat(44100, 2);
    EXPECT_EQ(mPrimary->SetFormat(&output), DSERR_PRIOLEVELNEEDED);
    HWND window = MakeWindow();
    EXPECT_EQ(mSound->SetCooperativeLevel(reinterpret_cast<HWND>(0x7FFF0), DSSCL_PRIORITY),
              DSERR_INVALIDPARAM);
    EXPECT_EQ(mSound->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM);
    EXPECT_EQ(mSound->SetCooperativeLevel(window, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(mSound->SetCooperativeLevel(window, 5), DSERR_INVALIDPARAM);
    ASSERT_EQ(mSound->SetCooperativeLevel(window, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(mPrimary->SetFormat(&output), DSERR_PRIOLEVELNEEDED);
    ASSERT_EQ(mSound->SetCooperativeLevel(window, DSSCL_PRIORITY), DS_OK);
    EXPECT_EQ(port::control::SoundDevices().at(0).level, DSSCL_PRIORITY);
    EXPECT_EQ(mPrimary->SetFormat(&output), DS_OK);
    EXPECT_EQ(mPrimary->SetFormat(nullptr), DSERR_INVALIDPARAM);
    // The output is fixed: any other format is refused.
    for (WAVEFORMATEX other : {PcmFormat(22050, 2), PcmFormat(44100, 1), PcmFormat(48000, 2)}) {
        EXPECT_EQ(mPrimary->SetFormat(&other), DSERR_BADFORMAT);
    }
    WAVEFORMATEX wrongRate = output;
    wrongRate.nAvgBytesPerSec = 176000;
    EXPECT_EQ(mPrimary->SetFormat(&wrongRate), DSERR_BADFORMAT);
    ASSERT_EQ(mSound->SetCooperativeLevel(window, DSSCL_WRITEPRIMARY), DS_OK);
    EXPECT_EQ(mPrimary->SetFormat(&output), DS_OK);
}

TEST_F(SoundWindowTest, ThePrimaryBufferIsOnePerDeviceAndPlaysNothingOfItsOwn) {
    DSBUFFERDESC desc = BufferDesc(nullptr, 0, DSBCAPS_PRIMARYBUFFER);
    BufferPtr again;
    ASSERT_EQ(mSound->CreateSoundBuffer(&desc, again.Out(), nullptr), DS_OK);
    EXPECT_EQ(again.get(), mPrimary.get());
    EXPECT_NE(port::control::SoundBufferId(again.get()), 0u);
    // No size, no format, no other flag.
    WAVEFORMATEX output = PcmFormat(44100, 2);
    for (DSBUFFERDESC wrong :
         {BufferDesc(nullptr, 4, DSBCAPS_PRIMARYBUFFER),
          BufferDesc(&output, 0, DSBCAPS_PRIMARYBUFFER),
          BufferDesc(nullptr, 0, DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME)}) {
        BufferPtr refused;
        EXPECT_EQ(mSound->CreateSoundBuffer(&wrong, refused.Out(), nullptr), DSERR_INVALIDPARAM);
        EXPECT_EQ(refused.get(), nullptr);
    }
    DWORD status = 7;
    EXPECT_EQ(mPrimary->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(mPrimary->Play(0, 0, DSBPLAY_LOOPING), DSERR_INVALIDCALL);
    EXPECT_EQ(mPrimary->SetVolume(0), DSERR_INVALIDCALL);
    EXPECT_TRUE(port::control::SoundBuffers().empty());
}

struct ShapeCase {
    const char* name;
    std::function<void(DSBUFFERDESC&, WAVEFORMATEX&)> change;
    HRESULT expected;
};

const ShapeCase kShapeCases[] = {
    {"as the engine makes them", [](auto&, auto&) {}, DS_OK},
    {"mono", [](auto&, WAVEFORMATEX& f) { f = PcmFormat(22050, 1); }, DS_OK},
    {"the lowest rate", [](auto&, WAVEFORMATEX& f) { f = PcmFormat(100, 2); }, DS_OK},
    {"the highest rate", [](auto&, WAVEFORMATEX& f) { f = PcmFormat(200000, 2); }, DS_OK},
    {"no flags", [](DSBUFFERDESC& d, auto&) { d.dwFlags = 0; }, DS_OK},
    {"the smallest size", [](DSBUFFERDESC& d, auto&) { d.dwBufferBytes = 4; }, DS_OK},
    {"below the lowest rate", [](auto&, WAVEFORMATEX& f) { f = PcmFormat(99, 2); },
     DSERR_BADFORMAT},
    {"above the highest rate", [](auto&, WAVEFORMATEX& f) { f = PcmFormat(200001, 2); },
     DSERR_BADFORMAT},
    {"8 bits",
     [](auto&, WAVEFORMATEX& f) {
         f.wBitsPerSample = 8;
         f.nBlockAlign = 2;
         f.nAvgBytesPerSec = 88200;
     },
     DSERR_BADFORMAT},
    {"three channels", [](auto&, WAVEFORMATEX& f) { f = PcmFormat(44100, 3); }, DSERR_BADFORMAT},
    {"no channel", [](auto&, WAVEFORMATEX& f) { f = PcmFormat(44100, 0); }, DSERR_BADFORMAT},
    {"not PCM", [](auto&, WAVEFORMATEX& f) { f.wFormatTag = 2; }, DSERR_BADFORMAT},
    {"a wrong block", [](auto&, WAVEFORMATEX& f) { f.nBlockAlign = 2; }, DSERR_BADFORMAT},
    {"a wrong byte rate", [](auto&, WAVEFORMATEX& f) { f.nAvgBytesPerSec += 4; }, DSERR_BADFORMAT},
    {"no format", [](DSBUFFERDESC& d, auto&) { d.lpwfxFormat = nullptr; }, DSERR_INVALIDPARAM},
    {"the 32-bit description size", [](DSBUFFERDESC& d, auto&) { d.dwSize = 36; },
     DSERR_INVALIDPARAM},
    {"no description size", [](DSBUFFERDESC& d, auto&) { d.dwSize = 0; }, DSERR_INVALIDPARAM},
    {"a flag not modelled", [](DSBUFFERDESC& d, auto&) { d.dwFlags |= 0x20; }, DSERR_INVALIDPARAM},
    {"below the smallest size", [](DSBUFFERDESC& d, auto&) { d.dwBufferBytes = 0; },
     DSERR_INVALIDPARAM},
    {"above the largest size", [](DSBUFFERDESC& d, auto&) { d.dwBufferBytes = 0x10000000; },
     DSERR_INVALIDPARAM},
    {"not whole frames", [](DSBUFFERDESC& d, auto&) { d.dwBufferBytes = 6; }, DSERR_INVALIDPARAM},
};

TEST_F(SoundTest, SecondaryBuffersAreCheckedBeforeTheyAreMade) {
    for (const ShapeCase& c : kShapeCases) {
        SCOPED_TRACE(c.name);
        WAVEFORMATEX format = PcmFormat(44100, 2);
        DSBUFFERDESC desc = BufferDesc(&format, 352800);
        c.change(desc, format);
        BufferPtr buffer;
        EXPECT_EQ(mSound->CreateSoundBuffer(&desc, buffer.Out(), nullptr), c.expected);
        EXPECT_EQ(buffer.get() != nullptr, c.expected == DS_OK);
        EXPECT_EQ(port::control::SoundBuffers().size(), c.expected == DS_OK ? 1u : 0u);
    }
    WAVEFORMATEX format = PcmFormat(44100, 2);
    DSBUFFERDESC desc = BufferDesc(&format, 4);
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, nullptr, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(mSound->CreateSoundBuffer(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
    BufferPtr buffer;
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, buffer.Out(), reinterpret_cast<IUnknown*>(&desc)),
              DSERR_INVALIDPARAM);
}

TEST_F(SoundTest, TheBudgetRefusesTheBufferThatWouldPassIt) {
    port::control::SetSoundMemoryBudget(1000000);
    BufferPtr first(MakeBuffer(44100, 2, 400000));
    BufferPtr second(MakeBuffer(44100, 2, 400000));
    WAVEFORMATEX format = PcmFormat(44100, 2);
    DSBUFFERDESC desc = BufferDesc(&format, 400000);
    BufferPtr third;
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, third.Out(), nullptr), DSERR_OUTOFMEMORY);
    EXPECT_EQ(third.get(), nullptr);
    EXPECT_EQ(port::control::SoundDevices().at(0).bytes, 800000u);
    desc.dwBufferBytes = 200000;  // exactly up to the budget
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, third.Out(), nullptr), DS_OK);
    third.Reset();
    first.Reset();
    desc.dwBufferBytes = 400000;
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, third.Out(), nullptr), DS_OK);
    EXPECT_EQ(port::control::SoundDevices().at(0).bytes, 800000u);
}

TEST_F(SoundTest, TheControlPlaneSeesEveryLiveBuffer) {
    BufferPtr music(MakeBuffer(44100, 2, 352800));
    BufferPtr voice(MakeBuffer(22050, 1, 88200, DSBCAPS_CTRLVOLUME));
    ASSERT_EQ(music->SetVolume(-2500), DS_OK);
    ASSERT_EQ(music->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    sound_testing::WriteSamples(voice.get(), 100, std::vector<int16_t>(50, 1));
    port::control::AdvanceTime(100);
    std::vector<port::control::SoundBufferInfo> buffers = port::control::SoundBuffers();
    ASSERT_EQ(buffers.size(), 2u);
    const port::control::SoundBufferInfo& first = buffers[0];
    EXPECT_EQ(first.id, port::control::SoundBufferId(music.get()));
    EXPECT_EQ(first.flags, sound_testing::kEngineFlags);
    EXPECT_EQ(first.format.nSamplesPerSec, 44100u);
    EXPECT_EQ(first.format.nChannels, 2u);
    EXPECT_EQ(first.size, 352800u);
    EXPECT_TRUE(first.playing);
    EXPECT_TRUE(first.looping);
    EXPECT_EQ(first.playCursor, 17640u);
    EXPECT_EQ(first.writeCursor, 19404u);
    EXPECT_EQ(first.volume, -2500);
    EXPECT_FALSE(first.lost);
    EXPECT_FALSE(first.detached);
    EXPECT_EQ(first.committed, 0u);
    const port::control::SoundBufferInfo& second = buffers[1];
    EXPECT_EQ(second.id, port::control::SoundBufferId(voice.get()));
    EXPECT_FALSE(second.playing);
    EXPECT_EQ(second.volume, 0);
    EXPECT_EQ(second.committed, 100u);
    EXPECT_EQ(port::control::SoundDevices().at(0).buffers, 2u);
    EXPECT_EQ(port::control::SoundBufferId(nullptr), 0u);
}

TEST_F(SoundTest, VolumeNeedsItsControlAndStaysInRange) {
    BufferPtr plain(MakeBuffer(44100, 2, 4000, 0));
    EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    BufferPtr buffer(MakeBuffer(44100, 2, 4000));
    EXPECT_EQ(buffer->SetVolume(-300), DS_OK);
    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(port::control::SoundBuffers().at(1).volume, -300);
    EXPECT_EQ(buffer->SetVolume(DSBVOLUME_MIN), DS_OK);
    EXPECT_EQ(buffer->SetVolume(DSBVOLUME_MAX), DS_OK);
}

TEST_F(SoundTest, ABufferReleasedWhilePlayingGoesAndTheRestPlayOn) {
    BufferPtr gone(MakeBuffer(44100, 2, 4000));
    BufferPtr kept(MakeBuffer(44100, 2, 4000));
    ASSERT_EQ(gone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(kept->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    port::control::AdvanceTime(10);
    gone.Reset();
    port::control::AdvanceTime(10);
    EXPECT_EQ(port::control::SoundBuffers().size(), 1u);
    EXPECT_EQ(port::control::SoundDevices().at(0).bytes, 4000u);
    EXPECT_EQ(sound_testing::CursorsOf(kept.get()).play, (882u * 4) % 4000);
}

TEST_F(SoundTest, BuffersOutlivingTheirDeviceAnswerUninitialised) {
    BufferPtr buffer(MakeBuffer(44100, 2, 4000));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    void* first = nullptr;
    DWORD bytes = 0;
    ASSERT_EQ(buffer->Lock(0, 100, &first, &bytes, nullptr, nullptr, 0), DS_OK);
    sound_testing::NotifyPtr notify;
    ASSERT_EQ(
        buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(notify.Out())),
        DS_OK);
    BufferPtr primary;
    DSBUFFERDESC primaryDesc = BufferDesc(nullptr, 0, DSBCAPS_PRIMARYBUFFER);
    ASSERT_EQ(mSound->CreateSoundBuffer(&primaryDesc, primary.Out(), nullptr), DS_OK);
    mSound.Reset();
    EXPECT_TRUE(port::control::SoundDevices().empty());
    port::control::AdvanceTime(10);  // no output: nothing mixes

    DWORD status = 0;
    DWORD play = 0;
    void* object = nullptr;
    EXPECT_EQ(buffer->GetStatus(&status), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer->GetCurrentPosition(&play, nullptr), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer->Play(0, 0, 0), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer->Stop(), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer->SetVolume(0), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer->Restore(), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer->Unlock(first, bytes, nullptr, 0), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer->Lock(0, 4, &first, &bytes, nullptr, nullptr, 0), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, &object), DSERR_UNINITIALIZED);
    EXPECT_EQ(notify->SetNotificationPositions(0, nullptr), DSERR_UNINITIALIZED);
    WAVEFORMATEX output = PcmFormat(44100, 2);
    EXPECT_EQ(primary->SetFormat(&output), DSERR_UNINITIALIZED);
    EXPECT_EQ(primary->GetStatus(&status), DSERR_UNINITIALIZED);
    std::vector<port::control::SoundBufferInfo> buffers = port::control::SoundBuffers();
    ASSERT_EQ(buffers.size(), 1u);
    EXPECT_TRUE(buffers[0].detached);
    EXPECT_FALSE(buffers[0].playing);
    buffer.Reset();
    EXPECT_EQ(port::control::SoundBuffers().size(), 1u);  // the notify interface holds it
    notify.Reset();
    primary.Reset();
    EXPECT_TRUE(port::control::SoundBuffers().empty());
}

}  // namespace
