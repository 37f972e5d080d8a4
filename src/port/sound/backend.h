// Internal: the sound device's backend, which runs the output: it calls the mixer (output.h) on
// a thread of its own for as long as the output is open.
//   - "headless" (headless/): the null device. Its pump mixes the frames that elapsed every 10 ms
//     on the real clock; on the fake clock each move of the clock mixes the time that passed, on
//     the thread that moved it, before the move returns. The mixed output goes to a test's
//     capture, or nowhere.
//   - "sdl" (sdl/): SDL's audio output; its callback runs the mixer.
// The backend follows the window system's choice (port/startup.h), unless a test chose one
// (port/sound/control.h: SetSoundBackend); the choice is read each time the output opens.
#pragma once

namespace port::sound {

class SoundBackend {
public:
    virtual ~SoundBackend() = default;
    virtual const char* Name() const = 0;

    // Starts the output. False, with one line in the port log saying why, when there is no
    // device. Called with no lock of the room held, when the first sound device is made.
    virtual bool Open() = 0;
    // Stops it: once it returns, the backend runs the mixer no more. Called with no lock the
    // mixer takes, when the last sound device goes.
    virtual void Close() = 0;
};

// The backend the output opens with now.
SoundBackend& Backend();
SoundBackend& HeadlessSoundBackend();
SoundBackend& SdlSoundBackend();

}  // namespace port::sound
