// Internal: the buffer objects the program holds. A secondary buffer (SoundBuffer) is a voice
// (voice.h) that its device's mixer reads; its notify interface (BufferNotify) keeps a reference
// to it. The primary buffer (PrimaryBuffer) only takes the output's format. Every call goes
// through failure injection and the call log, with the buffer's id ("buffer=3"); the primary's
// other operations answer DSERR_INVALIDCALL.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "port/refcounted.h"
#include "port/sound/dsound.h"

namespace port::sound {

class DeviceState;
class Voice;

// Ids of buffers, primary and secondary, counting from 1.
uint32_t NextBufferId();

// Lock's regions are null and empty unless it succeeds, an injected failure included.
void ClearLockRegions(void** data1, DWORD* bytes1, void** data2, DWORD* bytes2);

class SoundBuffer final : public RefCounted<IDirectSoundBuffer> {
public:
    // Takes its bytes from the device's budget back at its end.
    SoundBuffer(std::shared_ptr<DeviceState> device, std::shared_ptr<Voice> voice);
    ~SoundBuffer() override;

    uint32_t Id() const;

    HRESULT QueryInterface(const IID& iid, void** object) override;
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT Restore() override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** data1, DWORD* bytes1, void** data2,
                 DWORD* bytes2, DWORD flags) override;
    HRESULT Unlock(void* data1, DWORD bytes1, void* data2, DWORD bytes2) override;

    Voice& GetVoice() { return *mVoice; }

private:
    const std::shared_ptr<DeviceState> mDevice;
    const std::shared_ptr<Voice> mVoice;
};

class PrimaryBuffer final : public RefCounted<IDirectSoundBuffer> {
public:
    explicit PrimaryBuffer(std::shared_ptr<DeviceState> device);

    uint32_t Id() const { return mId; }

    HRESULT QueryInterface(const IID& iid, void** object) override;
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override;
    // Status 0.
    HRESULT GetStatus(DWORD* status) override;
    HRESULT Restore() override;
    HRESULT SetVolume(LONG volume) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** data1, DWORD* bytes1, void** data2,
                 DWORD* bytes2, DWORD flags) override;
    HRESULT Unlock(void* data1, DWORD bytes1, void* data2, DWORD bytes2) override;

private:
    HRESULT NotHere(const char* operation);

    const uint32_t mId;
    const std::shared_ptr<DeviceState> mDevice;
};

// The voices of the secondary buffers alive now, in the order they were made.
std::vector<std::shared_ptr<Voice>> LiveVoices();

}  // namespace port::sound
