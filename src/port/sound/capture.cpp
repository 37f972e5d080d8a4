#include "port/sound/capture.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
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

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
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
    std::vector<uint8_t> header;
    auto tag = [&header](const char* text) { header.insert(header.end(), text, text + 4); };
    tag("RIFF");
    sound::PutLittleEndian(header, static_cast<uint32_t>(36 + dataBytes), 4);
    tag("WAVE");
    tag("fmt ");
    sound::PutLittleEndian(header, 16, 4);
    sound::PutLittleEndian(header, 1, 2);  // PCM
    sound::PutLittleEndian(header, 2, 2);
    sound::PutLittleEndian(header, kRate, 4);
    sound::PutLittleEndian(header, kRate * kBlock, 4);
    sound::PutLittleEndian(header, kBlock, 2);
    sound::PutLittleEndian(header, 16, 2);
    tag("data");
    sound::PutLittleEndian(header, static_cast<uint32_t>(dataBytes), 4);
    std::vector<uint8_t> data;
    data.reserve(dataBytes);
    for (int16_t sample : samples)
        sound::PutLittleEndian(data, static_cast<uint16_t>(sample), 2);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
                   std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace port::control
