// Secondary buffers and their notify interface: the calls as the program makes them, traced,
// over the voice that holds the buffer's state.
#include "port/sound/soundbuffer.h"

#include <atomic>
#include <map>
#include <mutex>

#include "port/failinjection.h"
#include "port/sound/devicestate.h"
#include "port/sound/voice.h"

const IID IID_IDirectSoundNotify = {
    0xB0210783, 0x89CD, 0x11D0, {0xAF, 0x08, 0x00, 0xA0, 0xC9, 0x25, 0xCD, 0x16}};

namespace port::sound {
namespace {

std::atomic<uint32_t> gNextBufferId{1};

// The voices of live secondary buffers, by id (ids grow, so this is the order they were made).
struct Registry {
    std::mutex lock;
    std::map<uint32_t, std::weak_ptr<Voice>> voices;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

class BufferNotify final : public RefCounted<IDirectSoundNotify> {
public:
    explicit BufferNotify(SoundBuffer* buffer) : mBuffer(buffer) { mBuffer->AddRef(); }
    ~BufferNotify() override { mBuffer->Release(); }

    HRESULT QueryInterface(const IID&, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT SetNotificationPositions(DWORD count, const DSBPOSITIONNOTIFY* positions) override {
        return TracedCall(
            "SetNotificationPositions", {{"buffer", mBuffer->Id()}, {"count", count}},
            [&] { return mBuffer->GetVoice().SetNotificationPositions(count, positions); });
    }

private:
    SoundBuffer* const mBuffer;
};

}  // namespace

uint32_t NextBufferId() {
    return gNextBufferId++;
}

void ClearLockRegions(void** data1, DWORD* bytes1, void** data2, DWORD* bytes2) {
    ClearOut(data1);
    ClearOut(data2);
    if (bytes1 != nullptr) *bytes1 = 0;
    if (bytes2 != nullptr) *bytes2 = 0;
}

std::vector<std::shared_ptr<Voice>> LiveVoices() {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.lock);
    std::vector<std::shared_ptr<Voice>> voices;
    for (const auto& entry : registry.voices) {
        if (std::shared_ptr<Voice> voice = entry.second.lock()) voices.push_back(std::move(voice));
    }
    return voices;
}

SoundBuffer::SoundBuffer(std::shared_ptr<DeviceState> device, std::shared_ptr<Voice> voice)
    : mDevice(std::move(device)), mVoice(std::move(voice)) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.lock);
    registry.voices[mVoice->Id()] = mVoice;
}

SoundBuffer::~SoundBuffer() {
    {
        Registry& registry = TheRegistry();
        std::lock_guard<std::mutex> lock(registry.lock);
        registry.voices.erase(mVoice->Id());
    }
    // The mixer may still hold the voice for the block it mixes; it drops it after.
    mDevice->Remove(mVoice.get());
    mDevice->Unreserve(mVoice->Size());
}

uint32_t SoundBuffer::Id() const {
    return mVoice->Id();
}

HRESULT SoundBuffer::QueryInterface(const IID& iid, void** object) {
    ClearOut(object);
    return TracedCall("IDirectSoundBuffer::QueryInterface", {{"buffer", Id()}}, [&] {
        if (object == nullptr) return E_POINTER;
        HRESULT attached = mVoice->CheckAttached();
        if (attached != DS_OK) return attached;
        if (!IsEqualGUID(iid, IID_IDirectSoundNotify) ||
            (mVoice->Flags() & DSBCAPS_CTRLPOSITIONNOTIFY) == 0) {
            return E_NOINTERFACE;
        }
        *object = static_cast<IDirectSoundNotify*>(new BufferNotify(this));
        return DS_OK;
    });
}

HRESULT SoundBuffer::SetFormat(const WAVEFORMATEX*) {
    return TracedCall("SetFormat", {{"buffer", Id()}}, [&] {
        HRESULT attached = mVoice->CheckAttached();
        return attached != DS_OK ? attached : DSERR_INVALIDCALL;
    });
}

HRESULT SoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
    return TracedCall("Play", {{"buffer", Id()}, {"flags", flags, true}},
                      [&] { return mVoice->Play(reserved, priority, flags); });
}

HRESULT SoundBuffer::Stop() {
    return TracedCall("Stop", {{"buffer", Id()}}, [&] { return mVoice->Stop(); });
}

HRESULT SoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
    return TracedCall("GetCurrentPosition", {{"buffer", Id()}},
                      [&] { return mVoice->GetCurrentPosition(play, write); });
}

HRESULT SoundBuffer::GetStatus(DWORD* status) {
    return TracedCall("GetStatus", {{"buffer", Id()}}, [&] { return mVoice->GetStatus(status); });
}

HRESULT SoundBuffer::Restore() {
    return TracedCall("IDirectSoundBuffer::Restore", {{"buffer", Id()}},
                      [&] { return mVoice->Restore(); });
}

HRESULT SoundBuffer::SetVolume(LONG volume) {
    return TracedCall("SetVolume", {{"buffer", Id()}, {"volume", volume}},
                      [&] { return mVoice->SetVolume(volume); });
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, void** data1, DWORD* bytes1, void** data2,
                          DWORD* bytes2, DWORD flags) {
    ClearLockRegions(data1, bytes1, data2, bytes2);
    return TracedCall(
        "IDirectSoundBuffer::Lock",
        {{"buffer", Id()}, {"offset", offset}, {"bytes", bytes}, {"flags", flags, true}},
        [&] { return mVoice->Lock(offset, bytes, data1, bytes1, data2, bytes2, flags); });
}

HRESULT SoundBuffer::Unlock(void* data1, DWORD bytes1, void* data2, DWORD bytes2) {
    return TracedCall("IDirectSoundBuffer::Unlock",
                      {{"buffer", Id()}, {"bytes1", bytes1}, {"bytes2", bytes2}},
                      [&] { return mVoice->Unlock(data1, bytes1, data2, bytes2); });
}

}  // namespace port::sound
