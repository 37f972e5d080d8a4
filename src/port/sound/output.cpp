#include "port/sound/output.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>

#include "port/sound/backend.h"
#include "port/sound/capture.h"
#include "port/sound/devicestate.h"
#include "port/sound/voice.h"

namespace port::sound {
namespace {

constexpr size_t kBlockFrames = 1024;

struct Output {
    // Serialises opening and closing; the mixer never takes it.
    std::mutex openLock;
    SoundBackend* backend = nullptr;  // while open

    std::mutex listLock;
    std::vector<std::shared_ptr<DeviceState>> devices;

    // One mix at a time; guards the mixer's scratch memory, kept between blocks.
    std::mutex mixLock;
    std::vector<std::shared_ptr<Voice>> voices;
    std::vector<float> sums;
    std::vector<int16_t> away;

    std::atomic<uint64_t> mixCalls{0};
    std::atomic<uint64_t> longestMixMicroseconds{0};
};

Output& TheOutput() {
    // Outlives threads still mixing at exit.
    static Output* output = new Output;
    return *output;
}

// Rounds to the nearest integer, ties to even, for values already within the 16-bit range: the
// float's own rounding on adding 1.5 * 2^23, then the low bits of its representation. Unlike
// lrintf, it vectorises.
int16_t RoundToSample(float value) {
    float shifted = value + 12582912.0f;
    int32_t bits;
    std::memcpy(&bits, &shifted, sizeof bits);
    return static_cast<int16_t>(bits - 0x4B400000);
}

void ToSamples(const float* sums, int16_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i)
        out[i] = RoundToSample(std::clamp(sums[i], -32768.0f, 32767.0f));
}

// With the mix lock held.
void MixBlockLocked(Output& output, int16_t* out, size_t frames) {
    {
        std::lock_guard<std::mutex> lock(output.listLock);
        for (const std::shared_ptr<DeviceState>& device : output.devices)
            device->AppendVoices(output.voices);
    }
    output.sums.assign(2 * frames, 0.0f);
    for (const std::shared_ptr<Voice>& voice : output.voices)
        voice->MixInto(output.sums.data(), static_cast<uint32_t>(frames));
    // A voice whose buffer was released during the block goes here, under the mix lock alone.
    output.voices.clear();
    ToSamples(output.sums.data(), out, 2 * frames);
    CaptureFrames(out, frames);
}

void NoteMixTime(Output& output, std::chrono::steady_clock::time_point start) {
    auto spent = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    uint64_t micros = static_cast<uint64_t>(spent.count());
    output.mixCalls.fetch_add(1);
    uint64_t longest = output.longestMixMicroseconds.load();
    while (micros > longest &&
           !output.longestMixMicroseconds.compare_exchange_weak(longest, micros)) {
    }
}

}  // namespace

bool AttachDevice(std::shared_ptr<DeviceState> device) {
    Output& output = TheOutput();
    std::lock_guard<std::mutex> open(output.openLock);
    if (output.backend == nullptr) {
        SoundBackend& backend = Backend();
        if (!backend.Open()) return false;
        output.backend = &backend;
    }
    std::lock_guard<std::mutex> lock(output.listLock);
    output.devices.push_back(std::move(device));
    return true;
}

void DetachDevice(const DeviceState* device) {
    Output& output = TheOutput();
    std::lock_guard<std::mutex> open(output.openLock);
    std::shared_ptr<DeviceState> dropped;  // released after the list lock
    bool last;
    {
        std::lock_guard<std::mutex> lock(output.listLock);
        auto it = std::find_if(
            output.devices.begin(), output.devices.end(),
            [device](const std::shared_ptr<DeviceState>& d) { return d.get() == device; });
        if (it == output.devices.end()) return;
        dropped = std::move(*it);
        output.devices.erase(it);
        last = output.devices.empty();
    }
    if (last && output.backend != nullptr) {
        output.backend->Close();
        output.backend = nullptr;
    }
}

std::vector<control::SoundDeviceInfo> ObserveDevices() {
    Output& output = TheOutput();
    std::lock_guard<std::mutex> lock(output.listLock);
    std::vector<control::SoundDeviceInfo> infos;
    for (const std::shared_ptr<DeviceState>& device : output.devices)
        infos.push_back(device->Observe());
    return infos;
}

void MixOutput(int16_t* out, size_t frames) {
    auto start = std::chrono::steady_clock::now();
    Output& output = TheOutput();
    {
        std::lock_guard<std::mutex> lock(output.mixLock);
        if (out == nullptr) output.away.resize(2 * kBlockFrames);
        for (size_t done = 0; done < frames;) {
            size_t block = std::min(frames - done, kBlockFrames);
            MixBlockLocked(output, out != nullptr ? out + 2 * done : output.away.data(), block);
            done += block;
        }
    }
    NoteMixTime(output, start);
}

}  // namespace port::sound

namespace port::control {

void MixSound(size_t frames) {
    sound::MixOutput(nullptr, frames);
}

MixerCalls SoundMixerCalls() {
    sound::Output& output = sound::TheOutput();
    return {output.mixCalls.load(), output.longestMixMicroseconds.load()};
}

void ClearSoundMixerCalls() {
    sound::Output& output = sound::TheOutput();
    output.mixCalls.store(0);
    output.longestMixMicroseconds.store(0);
}

}  // namespace port::control
