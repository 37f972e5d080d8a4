// Tiny sounds for the sound scheme's tests, fuzz target and benchmark, which load many sound
// files by name: while a TinySounds lives it is the data-source builder of ".ogg" names, answers
// every name with a short tone of its own (not read from any file) unless the name holds
// "missing" or is one the test calls missing, and records the names it is asked for. Its destructor
// puts the Ogg builder back.
//
// The tone: 44,100 Hz stereo, a square wave of ±kTinyAmplitude with a period of 100 frames
// (441 Hz), so that its loudness is its amplitude and its start and end show in a capture.
// Main thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audio/sounddatasource.h"

namespace testing_support {

inline constexpr int16_t kTinyAmplitude = 8000;
inline constexpr uint32_t kTinyRate = 44100;

class TinySource : public TSoundDataSource {
public:
    explicit TinySource(double seconds);

    uint32_t Read(uint8_t* destination, uint32_t offset, uint32_t count) override;
    uint64_t GetTotalBytes() const override { return mBytes; }
    uint32_t GetSampleRate() const override { return kTinyRate; }
    uint32_t GetChannels() const override { return 2; }
    double GetLength() const override;

private:
    uint64_t mBytes;
};

class TinySounds : public TSoundDataSourceBuilder {
public:
    TinySounds();
    ~TinySounds() override;
    TinySounds(const TinySounds&) = delete;
    TinySounds& operator=(const TinySounds&) = delete;

    std::shared_ptr<TSoundDataSource> Build(const str& name, bool stream) override;

    // The length of the sound of a name (as the builder is asked: the path without its query).
    void SetLength(const std::string& name, double seconds) { mLengths[name] = seconds; }

    // Names answered with nothing, as a missing file is.
    void SetMissing(const std::string& name) { mMissing.insert(name); }

    // The length of every other sound.
    double seconds = 0.1;
    // Every name asked for, in order, while record is set.
    std::vector<std::string> asked;
    bool record = true;

private:
    std::map<std::string, double> mLengths;
    std::set<std::string> mMissing;
};

}  // namespace testing_support
