// The sound device: DirectSoundCreate, the cooperative level, and buffer creation with the
// checks of a description, a format and the memory budget.
#include <atomic>
#include <mutex>
#include <new>

#include "port/failinjection.h"
#include "port/refcounted.h"
#include "port/sound/devicestate.h"
#include "port/sound/dsound.h"
#include "port/sound/output.h"
#include "port/sound/soundbuffer.h"
#include "port/sound/voice.h"
#include "port/window/window.h"

namespace port::sound {
namespace {

constexpr DWORD kSecondaryFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY |
                                  DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
constexpr DWORD kMinRate = 100;
constexpr DWORD kMaxRate = 200000;
constexpr DWORD kMinBytes = 4;
constexpr DWORD kMaxBytes = 0x0FFFFFFF;

std::atomic<uint32_t> gNextDeviceId{1};
std::atomic<uint64_t> gBudget{control::kDefaultSoundMemoryBudget};

// 16-bit PCM, mono or stereo, with its block and byte rate worked out.
bool IsBufferFormat(const WAVEFORMATEX& format) {
    if (format.wFormatTag != WAVE_FORMAT_PCM || format.wBitsPerSample != 16) return false;
    if (format.nChannels != 1 && format.nChannels != 2) return false;
    if (format.nSamplesPerSec < kMinRate || format.nSamplesPerSec > kMaxRate) return false;
    return format.nBlockAlign == 2 * format.nChannels &&
           format.nAvgBytesPerSec == format.nBlockAlign * format.nSamplesPerSec;
}

class SoundDevice final : public RefCounted<IDirectSound> {
public:
    explicit SoundDevice(std::shared_ptr<DeviceState> state) : mState(std::move(state)) {}

    uint32_t Id() const { return mState->Id(); }

    ~SoundDevice() override {
        // The output stops before the buffers let go of the voices it mixes.
        DetachDevice(mState.get());
        mState->Detach();
        if (mPrimary != nullptr) mPrimary->Release();
    }

    HRESULT QueryInterface(const IID&, void** object) override {
        ClearOut(object);
        return TracedCall("IDirectSound::QueryInterface", {{"device", mState->Id()}},
                          [&] { return object == nullptr ? E_POINTER : E_NOINTERFACE; });
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD level) override {
        return TracedCall("IDirectSound::SetCooperativeLevel",
                          {{"device", mState->Id()}, {"level", level}}, [&] {
                              if (window == nullptr || !IsWindow(window)) {
                                  return DSERR_INVALIDPARAM;
                              }
                              if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) {
                                  return DSERR_INVALIDPARAM;
                              }
                              mState->SetLevel(level);
                              return DS_OK;
                          });
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                              IUnknown* outer) override {
        ClearOut(buffer);
        bool described = desc != nullptr && desc->dwSize == sizeof *desc;
        const WAVEFORMATEX* format = described ? desc->lpwfxFormat : nullptr;
        return TracedCall("CreateSoundBuffer",
                          {{"device", mState->Id()},
                           {"flags", described ? desc->dwFlags : 0, true},
                           {"bytes", described ? desc->dwBufferBytes : 0},
                           {"rate", format != nullptr ? format->nSamplesPerSec : 0},
                           {"channels", format != nullptr ? format->nChannels : 0},
                           {"bits", format != nullptr ? format->wBitsPerSample : 0}},
                          [&] {
                              if (buffer == nullptr || !described || outer != nullptr) {
                                  return DSERR_INVALIDPARAM;
                              }
                              if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
                                  return CreatePrimary(*desc, buffer);
                              }
                              return CreateSecondary(*desc, buffer);
                          });
    }

private:
    HRESULT CreatePrimary(const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer) {
        if (desc.dwFlags != DSBCAPS_PRIMARYBUFFER || desc.dwBufferBytes != 0 ||
            desc.lpwfxFormat != nullptr) {
            return DSERR_INVALIDPARAM;
        }
        std::lock_guard<std::mutex> lock(mPrimaryLock);
        // The device keeps a reference of its own, so that every caller gets the same one.
        if (mPrimary == nullptr) mPrimary = new PrimaryBuffer(mState);
        mPrimary->AddRef();
        *buffer = mPrimary;
        return DS_OK;
    }

    HRESULT CreateSecondary(const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer) {
        if ((desc.dwFlags & ~kSecondaryFlags) != 0 || desc.lpwfxFormat == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        const WAVEFORMATEX& format = *desc.lpwfxFormat;
        if (!IsBufferFormat(format)) return DSERR_BADFORMAT;
        DWORD bytes = desc.dwBufferBytes;
        if (bytes < kMinBytes || bytes > kMaxBytes || bytes % format.nBlockAlign != 0) {
            return DSERR_INVALIDPARAM;
        }
        if (!mState->Reserve(bytes, gBudget.load())) return DSERR_OUTOFMEMORY;
        std::shared_ptr<Voice> voice;
        try {
            uint32_t id = NextBufferId();
            voice = std::make_shared<Voice>(id, desc.dwFlags, format, bytes, id);
        } catch (const std::bad_alloc&) {
            mState->Unreserve(bytes);
            return DSERR_OUTOFMEMORY;
        }
        // From here the buffer gives its bytes back when it goes.
        *buffer = new SoundBuffer(mState, voice);
        mState->Add(std::move(voice));
        return DS_OK;
    }

    const std::shared_ptr<DeviceState> mState;
    std::mutex mPrimaryLock;
    PrimaryBuffer* mPrimary = nullptr;
};

}  // namespace

}  // namespace port::sound

HRESULT DirectSoundCreate(const GUID* device, IDirectSound** sound, IUnknown* outer) {
    port::ClearOut(sound);
    return port::TracedCall("DirectSoundCreate", {{"guid", device != nullptr ? 1 : 0}}, [&] {
        if (sound == nullptr || outer != nullptr) return DSERR_INVALIDPARAM;
        if (device != nullptr) return DSERR_NODRIVER;
        auto state = std::make_shared<port::sound::DeviceState>(port::sound::gNextDeviceId++);
        if (!port::sound::AttachDevice(state)) return DSERR_NODRIVER;
        *sound = new port::sound::SoundDevice(std::move(state));
        return DS_OK;
    });
}

namespace port::control {

void SetSoundMemoryBudget(uint64_t bytes) {
    sound::gBudget.store(bytes);
}

uint32_t SoundDeviceId(IDirectSound* device) {
    auto* known = dynamic_cast<sound::SoundDevice*>(device);
    return known != nullptr ? known->Id() : 0;
}

}  // namespace port::control
