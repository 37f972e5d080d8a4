// A small world for sound tests: the default sound device on the null backend, the fake clock on
// (each AdvanceTime plays the time that passed) and the real-time pump off, with helpers that
// make buffers as the sound engine does and write and read their bytes through Lock.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "held.h"
#include "port/control.h"
#include "port/sound/dsound.h"

namespace sound_testing {

using port_testing::Held;
using SoundPtr = Held<IDirectSound>;
using BufferPtr = Held<IDirectSoundBuffer>;
using NotifyPtr = Held<IDirectSoundNotify>;

// The flags the sound engine makes its buffers with: volume, position notify, global focus and
// the second kind of cursor.
constexpr DWORD kEngineFlags = 0x18180;

// 16-bit PCM of the rate and channels, with its block and byte rate.
WAVEFORMATEX PcmFormat(DWORD rate, WORD channels);
// A secondary buffer's description over the format.
DSBUFFERDESC BufferDesc(WAVEFORMATEX* format, DWORD bytes, DWORD flags = kEngineFlags);

// Writes interleaved samples from a byte offset (wrapping at the end) through Lock and Unlock.
void WriteSamples(IDirectSoundBuffer* buffer, DWORD offset, const std::vector<int16_t>& samples);
// The whole buffer's samples, read through Lock and Unlock of nothing.
std::vector<int16_t> ReadSamples(IDirectSoundBuffer* buffer, DWORD bytes);

struct Cursors {
    DWORD play;
    DWORD write;
};
Cursors CursorsOf(IDirectSoundBuffer* buffer);
DWORD StatusOf(IDirectSoundBuffer* buffer);

// Samples of a full-range pattern, the same for the same seed.
std::vector<int16_t> Pattern(size_t count, uint32_t seed);

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A secondary buffer of the device, asserted to succeed; null after a failed assertion.
    IDirectSoundBuffer* MakeBuffer(DWORD rate, WORD channels, DWORD bytes,
                                   DWORD flags = kEngineFlags);

    SoundPtr mSound;
};

}  // namespace sound_testing
