// Failures of the sound calls: every call answers an injected result and shows in the call log
// with its arguments, CreateSoundBuffer's injection can tell the primary from a secondary, and
// lost buffers answer as the engine expects until they are restored.
#include <functional>
#include <string>
#include <vector>

#include "soundfixture.h"

namespace {

using port::control::Failure;
using sound_testing::BufferDesc;
using sound_testing::BufferPtr;
using sound_testing::NotifyPtr;
using sound_testing::PcmFormat;
using sound_testing::SoundPtr;
using sound_testing::SoundTest;
using sound_testing::StatusOf;

// The report the engine makes a special case of; a sound call answers it only when injected.
constexpr HRESULT kOutOfVideoMemory = kDxError(0x8876017Cu);

Failure Answer(HRESULT result, std::function<bool(const port::CallInfo&)> when = {}) {
    Failure failure;
    failure.code = static_cast<uint32_t>(result);
    failure.count = 1;
    failure.when = std::move(when);
    return failure;
}

struct Calls {
    IDirectSound* sound;
    IDirectSoundBuffer* buffer;
    IDirectSoundNotify* notify;
};

struct InjectedCase {
    const char* operation;
    std::function<HRESULT(const Calls&)> call;
};

const InjectedCase kInjectedCases[] = {
    {"DirectSoundCreate",
     [](const Calls&) {
         SoundPtr other;
         HRESULT result = DirectSoundCreate(nullptr, other.Out(), nullptr);
         EXPECT_EQ(other.get(), nullptr);
         return result;
     }},
    {"IDirectSound::SetCooperativeLevel",
     [](const Calls& c) { return c.sound->SetCooperativeLevel(nullptr, DSSCL_PRIORITY); }},
    {"CreateSoundBuffer",
     [](const Calls& c) {
         WAVEFORMATEX format = PcmFormat(44100, 2);
         DSBUFFERDESC desc = BufferDesc(&format, 4000);
         BufferPtr other;
         HRESULT result = c.sound->CreateSoundBuffer(&desc, other.Out(), nullptr);
         EXPECT_EQ(other.get(), nullptr);
         return result;
     }},
    {"SetFormat", [](const Calls& c) { return c.buffer->SetFormat(nullptr); }},
    {"Play", [](const Calls& c) { return c.buffer->Play(0, 0, DSBPLAY_LOOPING); }},
    {"Stop", [](const Calls& c) { return c.buffer->Stop(); }},
    {"GetCurrentPosition",
     [](const Calls& c) {
         // The engine reads positions it preset when the call fails: they stay as they were.
         DWORD play = 0xFFFFFFFFu;
         DWORD write = 0xFFFFFFFFu;
         HRESULT result = c.buffer->GetCurrentPosition(&play, &write);
         EXPECT_EQ(play, 0xFFFFFFFFu);
         EXPECT_EQ(write, 0xFFFFFFFFu);
         return result;
     }},
    {"GetStatus",
     [](const Calls& c) {
         DWORD status = 0;
         return c.buffer->GetStatus(&status);
     }},
    {"IDirectSoundBuffer::Restore", [](const Calls& c) { return c.buffer->Restore(); }},
    {"SetVolume", [](const Calls& c) { return c.buffer->SetVolume(-500); }},
    {"IDirectSoundBuffer::Lock",
     [](const Calls& c) {
         void* first = reinterpret_cast<void*>(1);
         DWORD bytes = 9;
         HRESULT result = c.buffer->Lock(0, 100, &first, &bytes, nullptr, nullptr, 0);
         EXPECT_EQ(first, nullptr);
         EXPECT_EQ(bytes, 0u);
         return result;
     }},
    {"IDirectSoundBuffer::Unlock",
     [](const Calls& c) { return c.buffer->Unlock(nullptr, 0, nullptr, 0); }},
    {"IDirectSoundBuffer::QueryInterface",
     [](const Calls& c) {
         NotifyPtr other;
         HRESULT result = c.buffer->QueryInterface(IID_IDirectSoundNotify,
                                                   reinterpret_cast<void**>(other.Out()));
         EXPECT_EQ(other.get(), nullptr);
         return result;
     }},
    {"SetNotificationPositions",
     [](const Calls& c) { return c.notify->SetNotificationPositions(0, nullptr); }},
};

TEST_F(SoundTest, EveryCallAnswersAnInjectedFailureAndShowsInTheCallLog) {
    BufferPtr buffer(MakeBuffer(44100, 2, 4000));
    NotifyPtr notify;
    ASSERT_EQ(
        buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(notify.Out())),
        DS_OK);
    Calls calls{mSound.get(), buffer.get(), notify.get()};
    for (const InjectedCase& c : kInjectedCases) {
        SCOPED_TRACE(c.operation);
        port::control::KeepCallLog(true);
        port::control::InjectFailure(c.operation, Answer(kOutOfVideoMemory));
        EXPECT_EQ(c.call(calls), kOutOfVideoMemory);
        std::vector<port::control::LoggedCall> log = port::control::CallLog();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].operation, c.operation);
        EXPECT_EQ(log[0].result, kOutOfVideoMemory);
    }
    // Nothing the failures stood in for happened.
    EXPECT_EQ(StatusOf(buffer.get()), 0u);
    EXPECT_EQ(port::control::SoundBuffers().size(), 1u);
    EXPECT_EQ(port::control::SoundDevices().size(), 1u);
}

TEST_F(SoundTest, TheCallLogShowsCallsInOrderWithTheirArguments) {
    BufferPtr buffer(MakeBuffer(44100, 2, 4000));
    std::string id = std::to_string(port::control::SoundBufferId(buffer.get()));
    port::control::KeepCallLog(true);
    // The two steps by which the engine sets a stream's volume, then a refused one.
    ASSERT_EQ(buffer->SetVolume(-2750), DS_OK);
    ASSERT_EQ(buffer->SetVolume(-2500), DS_OK);
    EXPECT_EQ(buffer->SetVolume(100), DSERR_INVALIDPARAM);
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    ASSERT_EQ(buffer->Lock(3900, 200, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
    ASSERT_EQ(buffer->Unlock(first, firstBytes, second, 0), DS_OK);
    std::vector<port::control::LoggedCall> log = port::control::CallLog();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].operation, "SetVolume");
    EXPECT_EQ(log[0].args, "buffer=" + id + " volume=-2750");
    EXPECT_EQ(log[1].args, "buffer=" + id + " volume=-2500");
    EXPECT_EQ(log[2].result, DSERR_INVALIDPARAM);
    EXPECT_EQ(log[3].operation, "Play");
    EXPECT_EQ(log[3].args, "buffer=" + id + " flags=0x1");
    EXPECT_EQ(log[4].operation, "IDirectSoundBuffer::Lock");
    EXPECT_EQ(log[4].args, "buffer=" + id + " offset=3900 bytes=200 flags=0x0");
    EXPECT_EQ(log[5].operation, "IDirectSoundBuffer::Unlock");
    EXPECT_EQ(log[5].args, "buffer=" + id + " bytes1=100 bytes2=0");
}

TEST_F(SoundTest, CreateSoundBufferFailsForThePrimaryAloneWhenAsked) {
    port::control::KeepCallLog(true);
    port::control::InjectFailure("CreateSoundBuffer",
                                 Answer(DSERR_NODRIVER, [](const port::CallInfo& call) {
                                     return (call.Arg("flags") & DSBCAPS_PRIMARYBUFFER) != 0;
                                 }));
    BufferPtr secondary(MakeBuffer(44100, 2, 4000));
    EXPECT_NE(secondary.get(), nullptr);
    DSBUFFERDESC desc = BufferDesc(nullptr, 0, DSBCAPS_PRIMARYBUFFER);
    BufferPtr primary;
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, primary.Out(), nullptr), DSERR_NODRIVER);
    EXPECT_EQ(primary.get(), nullptr);
    std::vector<port::control::LoggedCall> log = port::control::CallLog();
    ASSERT_EQ(log.size(), 2u);
    std::string device = std::to_string(port::control::SoundDeviceId(mSound.get()));
    EXPECT_EQ(log[0].args,
              "device=" + device + " flags=0x18180 bytes=4000 rate=44100 channels=2 bits=16");
    EXPECT_EQ(log[1].args, "device=" + device + " flags=0x1 bytes=0 rate=0 channels=0 bits=0");
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, primary.Out(), nullptr), DS_OK);
}

TEST_F(SoundTest, LostBuffersReportOnlyTheirLossUntilRestored) {
    BufferPtr buffer(MakeBuffer(44100, 2, 4000));
    BufferPtr stopped(MakeBuffer(44100, 2, 4000));
    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    port::control::AdvanceTime(10);
    port::control::LoseSoundBuffers();
    // Exactly DSBSTATUS_BUFFERLOST, never with the playing or looping bits.
    EXPECT_EQ(StatusOf(buffer.get()), DSBSTATUS_BUFFERLOST);
    EXPECT_EQ(StatusOf(stopped.get()), DSBSTATUS_BUFFERLOST);
    EXPECT_TRUE(port::control::SoundBuffers().at(0).lost);
    DWORD before = sound_testing::CursorsOf(buffer.get()).play;
    port::control::AdvanceTime(10);
    EXPECT_EQ(sound_testing::CursorsOf(buffer.get()).play, before);  // stopped
    EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DSERR_BUFFERLOST);
    void* first = nullptr;
    DWORD bytes = 0;
    EXPECT_EQ(buffer->Lock(0, 4, &first, &bytes, nullptr, nullptr, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(StatusOf(buffer.get()), DSBSTATUS_BUFFERLOST);
    // The engine's order: status, Restore, then the volume.
    ASSERT_EQ(buffer->Restore(), DS_OK);
    EXPECT_EQ(StatusOf(buffer.get()), 0u);
    EXPECT_EQ(buffer->SetVolume(-100), DS_OK);
    EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(StatusOf(buffer.get()), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(StatusOf(stopped.get()), DSBSTATUS_BUFFERLOST);
}

}  // namespace
