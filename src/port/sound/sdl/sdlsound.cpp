// SDL's audio output: the default device at 44,100 Hz, 16-bit, stereo, 1024 frames a callback,
// with no changes allowed (SDL converts for a device that wants another format). Its callback
// runs the mixer. The subsystem is SDL's audio alone: the window backend starts and stops video
// only, so the two never interfere. SDL_AUDIODRIVER chooses the driver ("dummy" plays nothing,
// paced in real time; "disk" writes to SDL_DISKAUDIOFILE).
#include <SDL2/SDL.h>

#include "port/portlog.h"
#include "port/sound/backend.h"
#include "port/sound/output.h"

namespace port::sound {
namespace {

class SdlSound final : public SoundBackend {
public:
    const char* Name() const override { return "sdl"; }

    bool Open() override {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            Log("SDL audio could not start: %s", SDL_GetError());
            return false;
        }
        SDL_AudioSpec wanted{};
        wanted.freq = static_cast<int>(kOutputRate);
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 2;
        wanted.samples = 1024;
        wanted.callback = &Fill;
        SDL_AudioSpec obtained{};
        mDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (mDevice == 0) {
            Log("SDL audio found no device: %s", SDL_GetError());
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        SDL_PauseAudioDevice(mDevice, 0);
        return true;
    }

    void Close() override {
        // Waits for a callback still running; the caller holds no lock the mixer takes.
        SDL_CloseAudioDevice(mDevice);
        mDevice = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

private:
    static void SDLCALL Fill(void*, Uint8* stream, int length) {
        // SDL's buffer holds whole frames of the format asked for, suitably aligned.
        MixOutput(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(length) / 4);
    }

    SDL_AudioDeviceID mDevice = 0;
};

}  // namespace

SoundBackend& SdlSoundBackend() {
    static SdlSound* backend = new SdlSound;
    return *backend;
}

}  // namespace port::sound
