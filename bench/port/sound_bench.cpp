// Mixing one second of output (44,100 frames of 16-bit stereo) from 1, 8 and 32 playing buffers
// on the null device, in the 1,024-frame blocks SDL's callback asks for: buffers at the output's
// rate (44,100 Hz stereo, the game's music and most effects) and resampled ones (22,050 Hz mono).
// The peer is SDL_MixAudioFormat adding the same 44,100 Hz stereo data into the same blocks at
// its full volume, one buffer after another, as a program mixing with SDL would. Both outputs
// are compared before timing: the data leaves headroom, so that neither saturates and both must
// agree sample for sample.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "port/control.h"
#include "port/sound/dsound.h"

namespace {

constexpr size_t kOutputFrames = 44100;
constexpr size_t kBlockFrames = 1024;

// A second of noise per buffer, scaled to 1 / count of full range so that the sum never clips.
std::vector<std::vector<int16_t>> Signals(int count, size_t samples) {
    std::mt19937 random(17);
    std::uniform_int_distribution<int> level(-32767 / count, 32767 / count);
    std::vector<std::vector<int16_t>> signals(count, std::vector<int16_t>(samples));
    for (std::vector<int16_t>& signal : signals) {
        for (int16_t& sample : signal)
            sample = static_cast<int16_t>(level(random));
    }
    return signals;
}

// Our device with `count` looping buffers of the signals playing, the clock still.
class Playing {
public:
    Playing(const std::vector<std::vector<int16_t>>& signals, DWORD rate, WORD channels) {
        port::control::UseFakeClock(true);
        port::control::SetSoundPump(false);
        DirectSoundCreate(nullptr, &mSound, nullptr);
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = channels;
        format.nSamplesPerSec = rate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<WORD>(2 * channels);
        format.nAvgBytesPerSec = rate * format.nBlockAlign;
        for (const std::vector<int16_t>& signal : signals) {
            DSBUFFERDESC desc{};
            desc.dwSize = sizeof desc;
            desc.dwFlags = DSBCAPS_CTRLVOLUME;
            desc.dwBufferBytes = static_cast<DWORD>(signal.size() * 2);
            desc.lpwfxFormat = &format;
            IDirectSoundBuffer* buffer = nullptr;
            mSound->CreateSoundBuffer(&desc, &buffer, nullptr);
            void* data = nullptr;
            DWORD bytes = 0;
            buffer->Lock(0, desc.dwBufferBytes, &data, &bytes, nullptr, nullptr, 0);
            std::memcpy(data, signal.data(), bytes);
            buffer->Unlock(data, bytes, nullptr, 0);
            buffer->Play(0, 0, DSBPLAY_LOOPING);
            mBuffers.push_back(buffer);
        }
    }
    ~Playing() {
        for (IDirectSoundBuffer* buffer : mBuffers)
            buffer->Release();
        mSound->Release();
    }

private:
    IDirectSound* mSound = nullptr;
    std::vector<IDirectSoundBuffer*> mBuffers;
};

// The peer: each block cleared, then every buffer's frames added at full volume.
void PeerMix(const std::vector<std::vector<int16_t>>& signals, size_t firstFrame, int16_t* out,
             size_t frames) {
    std::memset(out, 0, frames * 4);
    for (const std::vector<int16_t>& signal : signals) {
        size_t at = (firstFrame % (signal.size() / 2)) * 2;
        SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out),
                           reinterpret_cast<const Uint8*>(signal.data() + at), AUDIO_S16SYS,
                           static_cast<Uint32>(frames * 4), SDL_MIX_MAXVOLUME);
    }
}

// True when our mix of the first block equals the peer's.
bool Agree(const std::vector<std::vector<int16_t>>& signals) {
    port::control::StartSoundCapture(kBlockFrames);
    port::control::MixSound(kBlockFrames);
    std::vector<int16_t> ours = port::control::CapturedSound();
    port::control::ClearSoundCapture();
    std::vector<int16_t> peer(2 * kBlockFrames);
    PeerMix(signals, 0, peer.data(), kBlockFrames);
    return ours == peer;
}

void BM_OursStereo44100(benchmark::State& state) {
    int count = static_cast<int>(state.range(0));
    std::vector<std::vector<int16_t>> signals = Signals(count, 2 * kOutputFrames);
    Playing playing(signals, 44100, 2);
    if (!Agree(signals)) {
        state.SkipWithError("our mix differs from the peer's");
        return;
    }
    for (auto _ : state)
        port::control::MixSound(kOutputFrames);
    state.SetItemsProcessed(state.iterations() * kOutputFrames * count);
}

void BM_PeerStereo44100(benchmark::State& state) {
    int count = static_cast<int>(state.range(0));
    std::vector<std::vector<int16_t>> signals = Signals(count, 2 * kOutputFrames);
    std::vector<int16_t> out(2 * kBlockFrames);
    size_t frame = 0;
    for (auto _ : state) {
        for (size_t done = 0; done < kOutputFrames; done += kBlockFrames) {
            size_t block = std::min(kBlockFrames, kOutputFrames - done);
            // SDL reads whole blocks: start them where a block still fits in the signal.
            PeerMix(signals, frame, out.data(), block);
            frame = (frame + block) % (kOutputFrames - kBlockFrames);
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kOutputFrames * count);
}

void BM_OursMono22050(benchmark::State& state) {
    int count = static_cast<int>(state.range(0));
    Playing playing(Signals(count, kOutputFrames / 2), 22050, 1);
    for (auto _ : state)
        port::control::MixSound(kOutputFrames);
    state.SetItemsProcessed(state.iterations() * kOutputFrames * count);
}

BENCHMARK(BM_OursStereo44100)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeerStereo44100)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OursMono22050)->Arg(1)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace
