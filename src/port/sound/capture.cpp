#include "port/sound/capture.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include "port/sound/control.h"

namespace port::sound {
namespace {

struct Capture {
    std::mutex lock;
    std::atomic<bool> on{false};
    size_t limit = 0;  // frames
    std::vector<int16_t> samples;
};

Capture& TheCapture() {
    static Capture* capture = new Capture;
    return *capture;
}

void PutLittleEndian(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

void CaptureFrames(const int16_t* frames, size_t count) {
    Capture& capture = TheCapture();
    if (!capture.on.load(std::memory_order_acquire)) return;
    std::lock_guard<std::mutex> lock(capture.lock);
    size_t held = capture.samples.size() / 2;
    size_t taken = std::min(count, capture.limit - std::min(capture.limit, held));
    capture.samples.insert(capture.samples.end(), frames, frames + 2 * taken);
}

}  // namespace port::sound

namespace port::control {

void StartSoundCapture(size_t maxFrames) {
    sound::Capture& capture = sound::TheCapture();
    std::lock_guard<std::mutex> lock(capture.lock);
    capture.samples.clear();
    capture.samples.reserve(2 * std::min<size_t>(maxFrames, 60 * 44100));
    capture.limit = maxFrames;
    capture.on.store(true, std::memory_order_release);
}

std::vector<int16_t> CapturedSound() {
    sound::Capture& capture = sound::TheCapture();
    std::lock_guard<std::mutex> lock(capture.lock);
    return capture.samples;
}

size_t CapturedFrames() {
    sound::Capture& capture = sound::TheCapture();
    std::lock_guard<std::mutex> lock(capture.lock);
    return capture.samples.size() / 2;
}

void ClearSoundCapture() {
    sound::Capture& capture = sound::TheCapture();
    std::lock_guard<std::mutex> lock(capture.lock);
    capture.on.store(false, std::memory_order_release);
    capture.limit = 0;
    std::vector<int16_t>().swap(capture.samples);
}

bool WriteWaveFile(const std::string& path, const std::vector<int16_t>& samples) {
    // RIFF "WAVE" with one "fmt " chunk (PCM, 2 channels, 44,100 Hz, 16 bits) and one "data"
    // chunk, little-endian.
    constexpr uint32_t kRate = 44100;
    constexpr uint32_t kBlock = 4;
    uint64_t dataBytes = uint64_t{samples.size()} * 2;
    if (samples.size() % 2 != 0 || dataBytes > 0xFFFFFFFFu - 36) return false;
    uint8_t header[44];
    std::memcpy(header, "RIFF", 4);
    sound::PutLittleEndian(header + 4, static_cast<uint32_t>(36 + dataBytes), 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    sound::PutLittleEndian(header + 16, 16, 4);
    sound::PutLittleEndian(header + 20, 1, 2);  // PCM
    sound::PutLittleEndian(header + 22, 2, 2);
    sound::PutLittleEndian(header + 24, kRate, 4);
    sound::PutLittleEndian(header + 28, kRate * kBlock, 4);
    sound::PutLittleEndian(header + 32, kBlock, 2);
    sound::PutLittleEndian(header + 34, 16, 2);
    std::memcpy(header + 36, "data", 4);
    sound::PutLittleEndian(header + 40, static_cast<uint32_t>(dataBytes), 4);
    std::vector<uint8_t> data(dataBytes);
    for (size_t i = 0; i < samples.size(); ++i)
        sound::PutLittleEndian(data.data() + 2 * i, static_cast<uint16_t>(samples[i]), 2);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(header, 1, sizeof header, file) == sizeof header &&
                   std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace port::control
