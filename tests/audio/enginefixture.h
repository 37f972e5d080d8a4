// A small world for the sound engine's tests: the null sound device with the fake clock on (each
// move of the clock plays the time that passed) and its real-time pump off, a window for the
// device's cooperative level, the sound hooks answering the test's manager and window, and a
// manager whose worker sleeps, so that the test runs the worker's passes itself as the clock
// moves. Helpers make streams as a sound's Play does, over sources of a known pattern or over Ogg
// files made by the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/sounddatasource.h"
#include "audio/soundmanager.h"
#include "audio/soundstream.h"
#include "audio/streamnotify.h"
#include "port/control.h"
#include "support/logcapture.h"

namespace audio_testing {

// The sample at an index of the pattern: never 0, so that silence after it shows.
int16_t PatternSample(uint64_t index);

// A source of the pattern: `declared` bytes long, of which it delivers `delivered` (less makes a
// source that stops short; more than declared, with alwaysFill, one that never reports an end).
class PatternSource : public TSoundDataSource {
public:
    PatternSource(uint32_t rate, uint32_t channels, uint64_t declared);
    PatternSource& Delivering(uint64_t bytes);
    PatternSource& AlwaysFilling();

    uint32_t Read(uint8_t* destination, uint32_t offset, uint32_t count) override;
    uint64_t GetTotalBytes() const override { return mDeclared; }
    uint32_t GetSampleRate() const override { return mRate; }
    uint32_t GetChannels() const override { return mChannels; }
    double GetLength() const override;

    // The pattern's samples from a byte offset.
    static std::vector<int16_t> Samples(uint64_t offset, uint64_t bytes);
    int reads = 0;

private:
    uint32_t mRate;
    uint32_t mChannels;
    uint64_t mDeclared;
    uint64_t mDelivered;
    bool mAlwaysFill = false;
};

// Records the streams it is told of; may clear the ended notification as a sound's data does,
// and run something of the test's own from inside the notification.
class RecordingNotify : public TStreamNotify {
public:
    void OnStreamDone(TSoundStream* stream) override;

    std::vector<TSoundStream*> told;
    bool clearEnded = true;
    std::function<void(TSoundStream*)> onDone;
};

class SoundEngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the manager, with its worker asleep, and starts it (the device comes up unless a
    // failure is injected).
    TSoundManager* Start();
    // Destroys the manager; the hooks then answer none.
    void EndManager();
    // A stream as a sound's Play makes it: spooler over the source, buffer of 2 seconds (when the
    // device is up), played once when the sound fits and does not loop. The manager owns it.
    TSoundStream* PlaySound(std::shared_ptr<TSoundDataSource> source, bool loop = false,
                            int group = 0, std::shared_ptr<TStreamNotify> notify = nullptr);
    // A stream not yet given a buffer.
    TSoundStream* MakeStream(std::shared_ptr<TSoundDataSource> source, bool loop = false,
                             int group = 0, std::shared_ptr<TStreamNotify> notify = nullptr);
    // Moves the fake clock on by ms in steps (50 ms, as the worker wakes), running a worker pass
    // after each step.
    void Run(uint32_t ms, uint32_t step = 50);

    std::unique_ptr<TSoundManager> mManager;
    testing_support::LogCapture mLog;
    HWND mWindow = nullptr;
};

// The secondary buffers the device holds now, by the stream's order of creation.
std::vector<port::control::SoundBufferInfo> Buffers();
// The calls of an operation in the call log, with their arguments.
std::vector<std::string> Calls(const std::string& operation);
// Whether a stream is still alive.
inline bool Alive(const std::weak_ptr<TSoundStream>& stream) {
    return !stream.expired();
}

// The capture of the output from its start: interleaved stereo samples.
std::vector<int16_t> Captured();
// The index of the first sample that is not 0 (its frame's start); the size when there is none.
size_t FirstSound(const std::vector<int16_t>& samples);

}  // namespace audio_testing
