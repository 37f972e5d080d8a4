#include "enginefixture.h"

#include <algorithm>
#include <cstring>

#include "audio/soundhooks.h"
#include "audio/streamspooler.h"
#include "port/window/window.h"

namespace audio_testing {
namespace {

TSoundManager* gManager = nullptr;
HWND gWindow = nullptr;

TSoundManager* TestManager() {
    return gManager;
}

HWND TestWindow() {
    return gWindow;
}

}  // namespace

int16_t PatternSample(uint64_t index) {
    return static_cast<int16_t>(1 + (index * 7919) % 30011);
}

PatternSource::PatternSource(uint32_t rate, uint32_t channels, uint64_t declared)
    : mRate(rate), mChannels(channels), mDeclared(declared), mDelivered(declared) {}

PatternSource& PatternSource::Delivering(uint64_t bytes) {
    mDelivered = bytes;
    return *this;
}

PatternSource& PatternSource::AlwaysFilling() {
    mAlwaysFill = true;
    return *this;
}

uint32_t PatternSource::Read(uint8_t* destination, uint32_t offset, uint32_t count) {
    ++reads;
    uint64_t end = mAlwaysFill ? uint64_t{offset} + count : mDelivered;
    if (offset >= end) return 0;
    uint32_t bytes = static_cast<uint32_t>(std::min<uint64_t>(count, end - offset)) & ~1u;
    std::vector<int16_t> samples = Samples(offset, bytes);
    std::memcpy(destination, samples.data(), bytes);
    return bytes;
}

double PatternSource::GetLength() const {
    return static_cast<double>(mDeclared) / (2.0 * mChannels * mRate);
}

std::vector<int16_t> PatternSource::Samples(uint64_t offset, uint64_t bytes) {
    std::vector<int16_t> samples(bytes / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = PatternSample(offset / 2 + i);
    return samples;
}

void RecordingNotify::OnStreamDone(TSoundStream* stream) {
    told.push_back(stream);
    if (clearEnded) stream->SetEndedNotify({});
    if (onDone) onDone(stream);
}

void SoundEngineTest::SetUp() {
    port::control::UseFakeClock(true);
    port::control::SetTime(100000);
    port::control::SetSoundPump(false);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "SOUNDTEST";
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    mWindow = CreateWindowExA(0, "SOUNDTEST", "sound", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                              nullptr);
    ASSERT_NE(mWindow, nullptr);
    gWindow = mWindow;
    gManager = nullptr;
    soundhooks::Install({&TestManager, &TestWindow, nullptr});
}

void SoundEngineTest::TearDown() {
    EndManager();
    soundhooks::Install({});
    if (mWindow != nullptr) DestroyWindow(mWindow);
    gWindow = nullptr;
}

void SoundEngineTest::EndManager() {
    gManager = nullptr;
    mManager.reset();
}

TSoundManager* SoundEngineTest::Start() {
    EndManager();
    mManager = std::make_unique<TSoundManager>();
    gManager = mManager.get();
    mManager->SetWorkerPace({0, 500});
    mManager->StartThread();
    return mManager.get();
}

TSoundStream* SoundEngineTest::MakeStream(std::shared_ptr<TSoundDataSource> source, bool loop,
                                          int group, std::shared_ptr<TStreamNotify> notify) {
    return new TSoundStream(mManager.get(), std::make_unique<TStreamSpooler>(source), loop, group,
                            notify);
}

TSoundStream* SoundEngineTest::PlaySound(std::shared_ptr<TSoundDataSource> source, bool loop,
                                         int group, std::shared_ptr<TStreamNotify> notify) {
    TSoundStream* stream = MakeStream(source, loop, group, notify);
    stream->CreateBuffer(source->GetSampleRate(), source->GetChannels(), 16, 2.0f);
    stream->Play(!loop && stream->GetBufferLength() > source->GetLength());
    return stream;
}

void SoundEngineTest::Run(uint32_t ms, uint32_t step) {
    for (uint32_t done = 0; done < ms; done += step) {
        port::control::AdvanceTime(std::min(step, ms - done));
        mManager->RunWorkerPass();
    }
}

std::vector<port::control::SoundBufferInfo> Buffers() {
    return port::control::SoundBuffers();
}

std::vector<std::string> Calls(const std::string& operation) {
    std::vector<std::string> calls;
    for (const port::control::LoggedCall& call : port::control::CallLog()) {
        if (call.operation == operation) calls.push_back(call.args);
    }
    return calls;
}

std::vector<int16_t> Captured() {
    return port::control::CapturedSound();
}

size_t FirstSound(const std::vector<int16_t>& samples) {
    auto found = std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s != 0; });
    size_t at = static_cast<size_t>(found - samples.begin());
    return at < samples.size() ? at & ~size_t{1} : samples.size();
}

}  // namespace audio_testing
