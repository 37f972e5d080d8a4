#include "audio/soundmanager.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "audio/soundhooks.h"
#include "audio/soundlock.h"
#include "audio/soundstream.h"
#include "audio/streamnotify.h"
#include "port/sound/dsound.h"
#include "port/system/sync.h"

namespace {

// The output the primary buffer is set to: 44,100 Hz, 16-bit, stereo.
constexpr WORD kOutputChannels = 2;
constexpr DWORD kOutputRate = 44100;
constexpr WORD kOutputBits = 16;
// ApplyVolume's first step away from the volume.
constexpr float kVolumeNudge = 0.05f;

}  // namespace

struct TSoundManagerImpl {
    IDirectSound* device = nullptr;
    IDirectSoundBuffer* primary = nullptr;
    // Owns the streams, in order of creation.
    std::vector<std::shared_ptr<TSoundStream>> live;
    float masterVolume = 1.0f;
    std::map<int, float> groupVolumes;
    // The worker, asleep on the condition between passes; a stop wakes it at once.
    std::thread worker;
    std::mutex wakeMutex;
    std::condition_variable wake;
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> wakeMs{50};
    std::atomic<uint32_t> refillAfterMs{500};
    // Streams that ended on the worker, destroyed by the next DispatchCallbacks.
    std::vector<std::shared_ptr<TSoundStream>> finished;
    // Acquisitions of the sound lock not yet released, all threads together.
    int lockDepth = 0;
    HANDLE mutex = nullptr;
};

TSoundManager::TSoundManager() : mImpl(std::make_unique<TSoundManagerImpl>()) {
    mImpl->mutex = CreateMutexA(nullptr, FALSE, "TSoundManagerMutex");
}

TSoundManager::~TSoundManager() {
    if (mImpl->worker.joinable()) {
        {
            TSoundLock lock(this);
            std::lock_guard<std::mutex> wake(mImpl->wakeMutex);
            mImpl->stop.store(true);
        }
        mImpl->wake.notify_all();
        mImpl->worker.join();
    }
    mClosing.store(true);
    {
        TSoundLock lock(this);
        // The streams' notifications may queue or add streams even now: empty until none is left.
        while (!mImpl->finished.empty() || !mImpl->live.empty()) {
            DropFinished();
            std::vector<std::shared_ptr<TSoundStream>> live = std::move(mImpl->live);
            mImpl->live.clear();
            for (std::shared_ptr<TSoundStream>& stream : live)
                stream.reset();
        }
        ReleaseDevice();
    }
    CloseHandle(mImpl->mutex);
    mImpl->mutex = nullptr;
}

bool TSoundManager::StartThread() {
    if (mStarted.load()) return true;
    if (!mImpl->worker.joinable()) {
        {
            TSoundLock lock(this);
            mUpdateClock.Reset();
            mUpdateClock.Start();
        }
        mImpl->stop.store(false);
        mImpl->worker = std::thread([this] { WorkerLoop(); });
    }
    if (!StartDevice()) return false;
    mStarted.store(true);
    return true;
}

bool TSoundManager::StartDevice() {
    TSoundLock lock(this);
    // A failed step undoes nothing: what came up stays until the manager ends, or until the next
    // try, which starts afresh.
    ReleaseDevice();
    HRESULT result = DirectSoundCreate(nullptr, &mImpl->device, nullptr);
    if (FAILED(result)) {
        REPORT_SOUND_ERROR(result);
        mImpl->device = nullptr;
        return false;
    }
    result = mImpl->device->SetCooperativeLevel(soundhooks::MainWindow(), DSSCL_PRIORITY);
    if (FAILED(result)) {
        REPORT_SOUND_ERROR(result);
        return false;
    }
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    result = mImpl->device->CreateSoundBuffer(&desc, &mImpl->primary, nullptr);
    if (FAILED(result)) {
        REPORT_SOUND_ERROR(result);
        mImpl->primary = nullptr;
        return false;
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = kOutputChannels;
    format.nSamplesPerSec = kOutputRate;
    format.nBlockAlign = kOutputChannels * kOutputBits / 8;
    format.nAvgBytesPerSec = kOutputRate * format.nBlockAlign;
    format.wBitsPerSample = kOutputBits;
    // Asked for and not checked: the streams' buffers carry their own formats.
    mImpl->primary->SetFormat(&format);
    return true;
}

void TSoundManager::ReleaseDevice() {
    if (mImpl->primary != nullptr) mImpl->primary->Release();
    if (mImpl->device != nullptr) mImpl->device->Release();
    mImpl->primary = nullptr;
    mImpl->device = nullptr;
}

void TSoundManager::Lock() const {
    WaitForSingleObject(mImpl->mutex, INFINITE);
    ++mImpl->lockDepth;
}

void TSoundManager::Unlock() const {
    --mImpl->lockDepth;
    ReleaseMutex(mImpl->mutex);
}

bool TSoundManager::HasLock() const {
    return mImpl->mutex != nullptr;
}

float TSoundManager::GetVolume(int group) const {
    TSoundLock lock(this);
    auto found = mImpl->groupVolumes.find(group);
    float master = mImpl->masterVolume;
    return found != mImpl->groupVolumes.end() ? master * found->second : master;
}

void TSoundManager::SetMasterVolume(float volume) {
    TSoundLock lock(this);
    mImpl->masterVolume = volume;
    ApplyVolumes();
}

void TSoundManager::SetGroupVolume(int group, float volume) {
    TSoundLock lock(this);
    mImpl->groupVolumes[group] = volume;
    ApplyVolumes();
}

void TSoundManager::ApplyVolumes() {
    TSoundLock lock(this);
    for (const std::weak_ptr<TSoundStream>& entry : LiveSnapshot()) {
        if (std::shared_ptr<TSoundStream> stream = StillLive(entry)) ApplyVolume(stream);
    }
}

void TSoundManager::ApplyVolume(const std::shared_ptr<TSoundStream>& stream) {
    float volume = GetVolume(stream->GetGroup());
    bool downFirst = volume >= 0.5f || std::isnan(volume);
    stream->SetVolume(downFirst ? volume - kVolumeNudge : volume + kVolumeNudge);
    stream->SetVolume(volume);
}

void TSoundManager::SetActive(bool active) {
    TSoundLock lock(this);
    mActive.store(active);
    for (const std::weak_ptr<TSoundStream>& entry : LiveSnapshot()) {
        std::shared_ptr<TSoundStream> stream = StillLive(entry);
        if (stream == nullptr) continue;
        stream->Suspend(!active);
        // After each resumption, not once after the walk.
        if (active) ApplyVolumes();
    }
}

void TSoundManager::PauseGroup(bool pause, int group) {
    TSoundLock lock(this);
    for (const std::weak_ptr<TSoundStream>& entry : LiveSnapshot()) {
        std::shared_ptr<TSoundStream> stream = StillLive(entry);
        if (stream != nullptr && (group == -1 || stream->GetGroup() == group)) {
            stream->Pause(pause);
        }
    }
    if (!pause) ApplyVolumes();
}

void TSoundManager::StopGroup(int group) {
    TSoundLock lock(this);
    for (const std::weak_ptr<TSoundStream>& entry : LiveSnapshot()) {
        std::shared_ptr<TSoundStream> stream = StillLive(entry);
        if (stream != nullptr && (group == -1 || stream->GetGroup() == group)) {
            stream->Stop(false);
        }
    }
}

void TSoundManager::DispatchCallbacks() {
    TSoundLock lock(this);
    DropFinished();
    for (const std::weak_ptr<TSoundStream>& entry : LiveSnapshot()) {
        std::shared_ptr<TSoundStream> stream = StillLive(entry);
        if (stream == nullptr) continue;
        if (std::shared_ptr<TStreamNotify> ended = stream->GetEndedNotify()) {
            ended->OnStreamDone(stream.get());
        }
    }
}

void TSoundManager::AddStream(TSoundStream* stream) {
    TSoundLock lock(this);
    mImpl->live.push_back(std::shared_ptr<TSoundStream>(stream));
}

void TSoundManager::QueueFinished(const std::shared_ptr<TSoundStream>& stream) {
    auto& live = mImpl->live;
    auto found = std::find(live.begin(), live.end(), stream);
    if (found == live.end()) return;
    mImpl->finished.push_back(stream);
    live.erase(found);
}

void TSoundManager::RemoveStream(const std::shared_ptr<TSoundStream>& stream) {
    TSoundLock lock(this);
    std::erase(mImpl->live, stream);
    std::erase(mImpl->finished, stream);
}

IDirectSound* TSoundManager::GetDevice() const {
    return mImpl->device;
}

size_t TSoundManager::GetStreamCount() const {
    TSoundLock lock(this);
    return mImpl->live.size() + mImpl->finished.size();
}

void TSoundManager::UpdateStreams() {
    if (mUpdateClock.GetTime() <= mImpl->refillAfterMs.load()) return;
    bool again = true;
    while (again) {
        again = false;
        mUpdateClock.Reset();
        mUpdateClock.Start();
        // By index, each stream held for its refill: the list changes only through the
        // QueueFinished below, after which the walk starts over.
        for (size_t i = 0; i < mImpl->live.size(); ++i) {
            std::shared_ptr<TSoundStream> stream = mImpl->live[i];
            if (!stream->Refill(false)) {
                QueueFinished(stream);
                again = true;
                break;
            }
        }
    }
}

void TSoundManager::SetWorkerPace(TWorkerPace pace) {
    {
        std::lock_guard<std::mutex> wake(mImpl->wakeMutex);
        mImpl->wakeMs.store(pace.wakeMs);
        mImpl->refillAfterMs.store(pace.refillAfterMs);
    }
    mImpl->wake.notify_all();
}

void TSoundManager::RunWorkerPass() {
    TSoundLock lock(this);
    if (!mImpl->stop.load()) UpdateStreams();
}

bool TSoundManager::IsWorkerRunning() const {
    return mImpl->worker.joinable();
}

void TSoundManager::WorkerLoop() {
    std::unique_lock<std::mutex> wake(mImpl->wakeMutex);
    while (!mImpl->stop.load()) {
        uint32_t period = mImpl->wakeMs.load();
        if (period == 0) {
            mImpl->wake.wait(wake, [this] { return mImpl->stop.load() || mImpl->wakeMs.load(); });
            continue;
        }
        wake.unlock();
        RunWorkerPass();
        wake.lock();
        mImpl->wake.wait_for(wake, std::chrono::milliseconds(period),
                             [this] { return mImpl->stop.load(); });
    }
}

std::vector<std::weak_ptr<TSoundStream>> TSoundManager::LiveSnapshot() const {
    return {mImpl->live.begin(), mImpl->live.end()};
}

std::shared_ptr<TSoundStream> TSoundManager::StillLive(
    const std::weak_ptr<TSoundStream>& entry) const {
    std::shared_ptr<TSoundStream> stream = entry.lock();
    if (stream == nullptr) return nullptr;
    const auto& live = mImpl->live;
    return std::find(live.begin(), live.end(), stream) != live.end() ? stream : nullptr;
}

void TSoundManager::DropFinished() {
    std::vector<std::shared_ptr<TSoundStream>> finished = std::move(mImpl->finished);
    mImpl->finished.clear();
    for (std::shared_ptr<TSoundStream>& stream : finished)
        stream.reset();
}
