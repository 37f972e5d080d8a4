// The control plane of the sound device, for tests: the backend, mixing without the clock, the
// memory budget, lost buffers, what every device and buffer holds, the capture of the mixed
// output, and how long the mixer's calls take. Failure injection and the call log of the sound
// calls are the shared ones (port/control.h): every call by its name, "IDirectSound::" or
// "IDirectSoundBuffer::" before a name another interface also has ("IDirectSoundBuffer::Lock",
// "IDirectSound::SetCooperativeLevel"), with "buffer=<id>" or "device=<id>" among its arguments;
// CreateSoundBuffer's "flags" tell the primary buffer (1) from a secondary one, and CreateEventA
// fails through the Windows calls' injection. Gathered with the other services' parts in
// port/control.h.
//
// Any thread may call these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "port/sound/dsound.h"

namespace port::control {

// The output's backend: "headless" (the null device) or "sdl" (SDL's audio output, which needs no
// display), whatever the window system's; null follows the window system's again. Read when the
// output opens, at the first device made while none lives. False for another name.
bool SetSoundBackend(const char* name);

// The null device's pump, which mixes in real time while the real clock runs (on by default).
// Off, only the fake clock's moves and MixSound mix.
void SetSoundPump(bool on);

// Mixes `frames` output frames now, on the caller's thread, without moving the clock.
void MixSound(size_t frames);

// The memory each device's secondary buffers may take together; a buffer that would pass it
// answers DSERR_OUTOFMEMORY.
constexpr uint64_t kDefaultSoundMemoryBudget = 256ull << 20;
void SetSoundMemoryBudget(uint64_t bytes);

// Every live secondary buffer stops and is lost: GetStatus reports DSBSTATUS_BUFFERLOST alone,
// Play and Lock answer DSERR_BUFFERLOST, until its Restore.
void LoseSoundBuffers();

struct SoundBufferInfo {
    uint32_t id = 0;  // as the call log names it ("buffer=3")
    DWORD flags = 0;
    WAVEFORMATEX format{};
    DWORD size = 0;
    bool playing = false;
    bool looping = false;
    DWORD playCursor = 0;
    DWORD writeCursor = 0;
    LONG volume = 0;
    bool lost = false;
    bool detached = false;  // its device was released
    bool locked = false;
    uint64_t committed = 0;  // bytes copied in by Unlock
};
// The live secondary buffers (not yet released), in the order they were made.
std::vector<SoundBufferInfo> SoundBuffers();
// A buffer's id (a primary buffer's too); 0 for null.
uint32_t SoundBufferId(IDirectSoundBuffer* buffer);

struct SoundDeviceInfo {
    uint32_t id = 0;     // as the call log names it ("device=1")
    DWORD level = 0;     // the cooperative level; 0 until set
    uint64_t bytes = 0;  // taken from the budget
    size_t buffers = 0;  // live secondary buffers
};
// The devices not yet released, in the order they were made.
std::vector<SoundDeviceInfo> SoundDevices();
uint32_t SoundDeviceId(IDirectSound* device);

// The capture of the mixed output, off by default: from StartSoundCapture on, the mixer keeps
// every frame it mixes, up to maxFrames, as interleaved 16-bit stereo at 44,100 Hz.
void StartSoundCapture(size_t maxFrames);
std::vector<int16_t> CapturedSound();
size_t CapturedFrames();
// Turns the capture off and empties it.
void ClearSoundCapture();
// Writes interleaved 16-bit stereo samples at 44,100 Hz as a WAV file. False when it cannot.
bool WriteWaveFile(const std::string& path, const std::vector<int16_t>& samples);

// The mixer's calls (each SDL callback, each pump turn, each move of the fake clock) since the
// last clear, and the longest one, from waiting for the mixer to the end of the mix.
struct MixerCalls {
    uint64_t count = 0;
    uint64_t longestMicroseconds = 0;
};
MixerCalls SoundMixerCalls();
void ClearSoundMixerCalls();

// Puts the sound device's settings back as a process starts: the backend following the window
// system's, the pump on, the default budget, no capture, the mixer's calls cleared. Devices and
// buffers that a test still holds live on.
void ResetSound();

}  // namespace port::control
