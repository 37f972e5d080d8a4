// The control plane's observation, loss and reset; the backend choice, the pump, the capture,
// the budget and the mixer's calls are beside what they set (backend.cpp, headless/,
// capture.cpp, directsound.cpp, output.cpp).
#include "port/sound/control.h"

#include "port/sound/output.h"
#include "port/sound/soundbuffer.h"
#include "port/sound/voice.h"

namespace port::control {

void LoseSoundBuffers() {
    for (const std::shared_ptr<sound::Voice>& voice : sound::LiveVoices())
        voice->Lose();
}

std::vector<SoundBufferInfo> SoundBuffers() {
    std::vector<SoundBufferInfo> infos;
    for (const std::shared_ptr<sound::Voice>& voice : sound::LiveVoices())
        infos.push_back(voice->Observe());
    return infos;
}

uint32_t SoundBufferId(IDirectSoundBuffer* buffer) {
    if (auto* secondary = dynamic_cast<sound::SoundBuffer*>(buffer)) return secondary->Id();
    if (auto* primary = dynamic_cast<sound::PrimaryBuffer*>(buffer)) return primary->Id();
    return 0;
}

std::vector<SoundDeviceInfo> SoundDevices() {
    return sound::ObserveDevices();
}

void ResetSound() {
    SetSoundBackend(nullptr);
    SetSoundPump(true);
    SetSoundMemoryBudget(kDefaultSoundMemoryBudget);
    ClearSoundCapture();
    ClearSoundMixerCalls();
}

}  // namespace port::control
