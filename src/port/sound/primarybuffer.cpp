// The primary buffer: the output's format, fixed, which the program asks for at the priority
// level. It plays nothing of its own; the mixer's output is what it would hold.
#include "port/failinjection.h"
#include "port/sound/devicestate.h"
#include "port/sound/output.h"
#include "port/sound/soundbuffer.h"

namespace port::sound {
namespace {

bool IsOutputFormat(const WAVEFORMATEX& format) {
    return format.wFormatTag == WAVE_FORMAT_PCM && format.nChannels == 2 &&
           format.nSamplesPerSec == kOutputRate && format.wBitsPerSample == 16 &&
           format.nBlockAlign == 4 && format.nAvgBytesPerSec == 4 * kOutputRate;
}

}  // namespace

PrimaryBuffer::PrimaryBuffer(std::shared_ptr<DeviceState> device)
    : mId(NextBufferId()), mDevice(std::move(device)) {}

HRESULT PrimaryBuffer::QueryInterface(const IID&, void** object) {
    ClearOut(object);
    return TracedCall("IDirectSoundBuffer::QueryInterface", {{"buffer", mId}},
                      [&] { return object == nullptr ? E_POINTER : E_NOINTERFACE; });
}

HRESULT PrimaryBuffer::SetFormat(const WAVEFORMATEX* format) {
    return TracedCall("SetFormat",
                      {{"buffer", mId},
                       {"tag", format != nullptr ? format->wFormatTag : 0},
                       {"channels", format != nullptr ? format->nChannels : 0},
                       {"rate", format != nullptr ? format->nSamplesPerSec : 0},
                       {"bits", format != nullptr ? format->wBitsPerSample : 0}},
                      [&] {
                          if (format == nullptr) return DSERR_INVALIDPARAM;
                          if (mDevice->Detached()) return DSERR_UNINITIALIZED;
                          if (mDevice->Level() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
                          return IsOutputFormat(*format) ? DS_OK : DSERR_BADFORMAT;
                      });
}

HRESULT PrimaryBuffer::NotHere(const char* operation) {
    return TracedCall(operation, {{"buffer", mId}}, [&] {
        return mDevice->Detached() ? DSERR_UNINITIALIZED : DSERR_INVALIDCALL;
    });
}

HRESULT PrimaryBuffer::Play(DWORD, DWORD, DWORD) {
    return NotHere("Play");
}

HRESULT PrimaryBuffer::Stop() {
    return NotHere("Stop");
}

HRESULT PrimaryBuffer::GetCurrentPosition(DWORD*, DWORD*) {
    return NotHere("GetCurrentPosition");
}

HRESULT PrimaryBuffer::GetStatus(DWORD* status) {
    return TracedCall("GetStatus", {{"buffer", mId}}, [&] {
        if (status == nullptr) return DSERR_INVALIDPARAM;
        *status = 0;
        return mDevice->Detached() ? DSERR_UNINITIALIZED : DS_OK;
    });
}

HRESULT PrimaryBuffer::Restore() {
    return TracedCall("IDirectSoundBuffer::Restore", {{"buffer", mId}},
                      [&] { return mDevice->Detached() ? DSERR_UNINITIALIZED : DS_OK; });
}

HRESULT PrimaryBuffer::SetVolume(LONG) {
    return NotHere("SetVolume");
}

HRESULT PrimaryBuffer::Lock(DWORD, DWORD, void** data1, DWORD* bytes1, void** data2, DWORD* bytes2,
                            DWORD) {
    ClearLockRegions(data1, bytes1, data2, bytes2);
    return NotHere("IDirectSoundBuffer::Lock");
}

HRESULT PrimaryBuffer::Unlock(void*, DWORD, void*, DWORD) {
    return NotHere("IDirectSoundBuffer::Unlock");
}

}  // namespace port::sound
