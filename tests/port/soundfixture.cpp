#include "soundfixture.h"

#include <cstring>
#include <random>

namespace sound_testing {

WAVEFORMATEX PcmFormat(DWORD rate, WORD channels) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(2 * channels);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

DSBUFFERDESC BufferDesc(WAVEFORMATEX* format, DWORD bytes, DWORD flags) {
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = format;
    return desc;
}

void WriteSamples(IDirectSoundBuffer* buffer, DWORD offset, const std::vector<int16_t>& samples) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    DWORD bytes = static_cast<DWORD>(samples.size() * 2);
    ASSERT_EQ(buffer->Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes, 0), DS_OK);
    std::memcpy(first, samples.data(), firstBytes);
    if (secondBytes > 0) {
        std::memcpy(second, reinterpret_cast<const uint8_t*>(samples.data()) + firstBytes,
                    secondBytes);
    }
    ASSERT_EQ(buffer->Unlock(first, firstBytes, second, secondBytes), DS_OK);
}

std::vector<int16_t> ReadSamples(IDirectSoundBuffer* buffer, DWORD bytes) {
    void* first = nullptr;
    DWORD firstBytes = 0;
    std::vector<int16_t> samples(bytes / 2);
    EXPECT_EQ(buffer->Lock(0, bytes, &first, &firstBytes, nullptr, nullptr, 0), DS_OK);
    if (first == nullptr) return {};
    std::memcpy(samples.data(), first, firstBytes);
    EXPECT_EQ(buffer->Unlock(first, 0, nullptr, 0), DS_OK);
    return samples;
}

Cursors CursorsOf(IDirectSoundBuffer* buffer) {
    Cursors cursors{0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_EQ(buffer->GetCurrentPosition(&cursors.play, &cursors.write), DS_OK);
    return cursors;
}

DWORD StatusOf(IDirectSoundBuffer* buffer) {
    DWORD status = 0xFFFFFFFFu;
    EXPECT_EQ(buffer->GetStatus(&status), DS_OK);
    return status;
}

std::vector<int16_t> Pattern(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    std::vector<int16_t> samples(count);
    for (int16_t& value : samples)
        value = static_cast<int16_t>(sample(random));
    return samples;
}

void SoundTest::SetUp() {
    port::control::UseFakeClock(true);
    port::control::SetSoundPump(false);
    ASSERT_EQ(DirectSoundCreate(nullptr, mSound.Out(), nullptr), DS_OK);
}

void SoundTest::TearDown() {
    mSound.Reset();
}

IDirectSoundBuffer* SoundTest::MakeBuffer(DWORD rate, WORD channels, DWORD bytes, DWORD flags) {
    WAVEFORMATEX format = PcmFormat(rate, channels);
    DSBUFFERDESC desc = BufferDesc(&format, bytes, flags);
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(mSound->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    return buffer;
}

}  // namespace sound_testing
