#include "audio/soundstream.h"

#include <algorithm>
#include <cmath>

#include "audio/soundhooks.h"
#include "audio/soundinstance.h"
#include "audio/soundlock.h"
#include "audio/soundmanager.h"
#include "audio/streamnotify.h"
#include "audio/streamspooler.h"
#include "port/system/sync.h"

namespace {

constexpr DWORD kBufferFlags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPOSITIONNOTIFY |
                               DSBCAPS_GLOBALFOCUS | DSBCAPS_GETCURRENTPOSITION2;
constexpr uint32_t kSmallestBuffer = 4;
constexpr uint32_t kLargestBuffer = 0x0FFFFFFF;
// The volume scale: the range a volume from 0 to 1 spans, in hundredths of a decibel.
constexpr float kVolumeRange = 5000.0f;

// Bytes per second × seconds, rounded, as an unsigned count, raised to a multiple of 8 and kept
// within what a buffer may hold.
uint32_t BufferBytes(uint32_t bytesPerSecond, float seconds) {
    double bytes = static_cast<double>(bytesPerSecond) * seconds + 0.5;
    if (!(bytes >= 0.0)) bytes = 0.0;
    uint64_t size = static_cast<uint64_t>(std::min(bytes, static_cast<double>(kLargestBuffer)));
    size = (size + 7) / 8 * 8;
    return static_cast<uint32_t>(std::clamp<uint64_t>(size, kSmallestBuffer, kLargestBuffer));
}

}  // namespace

TSoundStream::TSoundStream(TSoundManager* manager, std::unique_ptr<TStreamSpooler> spooler,
                           bool loop, int group, const std::shared_ptr<TStreamNotify>& notify)
    : mManager(manager), mSpooler(std::move(spooler)), mNotify(notify), mGroup(group), mLoop(loop) {
    mManager->AddStream(this);
}

TSoundStream::~TSoundStream() {
    TSoundLock lock(mManager);
    mSpooler.reset();
    for (std::weak_ptr<TStreamNotify>* target : {&mEndedNotify, &mNotify, &mNextNotify}) {
        if (std::shared_ptr<TStreamNotify> told = target->lock()) told->OnStreamDone(this);
    }
    mNextSpooler.reset();
    if (std::shared_ptr<TSoundInstance> instance = mInstance.lock()) instance->ClearStream();
    ReleaseBuffer();
}

bool TSoundStream::CreateBuffer(uint32_t samplesPerSecond, uint32_t channels,
                                uint32_t bitsPerSample, float seconds) {
    if (!mManager->IsStarted()) return false;
    TSoundLock lock(mManager);
    if (mBuffer != nullptr) return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = samplesPerSecond;
    format.nBlockAlign = static_cast<WORD>(bitsPerSample / 8 * channels);
    format.nAvgBytesPerSec = format.nBlockAlign * samplesPerSecond;
    format.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    if (format.nAvgBytesPerSec == 0) return false;
    mBufferSize = BufferBytes(format.nAvgBytesPerSec, seconds);
    mBufferLength = static_cast<float>(mBufferSize) / static_cast<float>(format.nAvgBytesPerSec);
    if (!MakeBuffer(format)) {
        // A silent stream, timed by its clock.
        ReleaseBuffer();
        mBufferSize = 0;
        mBufferLength = 0.0f;
        return false;
    }
    mRemaining = static_cast<int>(mBufferSize);
    mExhausted = false;
    mLastFilledHalf = 0;
    Refill(true);
    return true;
}

bool TSoundStream::MakeBuffer(const WAVEFORMATEX& format) {
    IDirectSound* device = mManager->GetDevice();
    if (device == nullptr) return false;
    WAVEFORMATEX bufferFormat = format;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = kBufferFlags;
    desc.dwBufferBytes = mBufferSize;
    desc.lpwfxFormat = &bufferFormat;
    HRESULT result = device->CreateSoundBuffer(&desc, &mBuffer, nullptr);
    if (FAILED(result)) {
        REPORT_SOUND_ERROR(result);
        mBuffer = nullptr;
        return false;
    }
    for (HANDLE& event : mNotifyPart.events) {
        event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (event == nullptr) return false;
    }
    mNotifyPart.positions[0] = {0, mNotifyPart.events[0]};
    mNotifyPart.positions[1] = {mBufferSize / 2, mNotifyPart.events[1]};
    mNotifyPart.positions[2] = {DSBPN_OFFSETSTOP, mNotifyPart.events[2]};
    result = mBuffer->QueryInterface(IID_IDirectSoundNotify,
                                     reinterpret_cast<void**>(&mNotifyPart.notify));
    if (FAILED(result)) {
        REPORT_SOUND_ERROR(result);
        mNotifyPart.notify = nullptr;
        return false;
    }
    // Only the start and the middle: nothing waits for the stop.
    result = mNotifyPart.notify->SetNotificationPositions(2, mNotifyPart.positions);
    if (FAILED(result)) {
        REPORT_SOUND_ERROR(result);
        return false;
    }
    return true;
}

void TSoundStream::ReleaseBuffer() {
    if (mNotifyPart.notify != nullptr) mNotifyPart.notify->Release();
    mNotifyPart.notify = nullptr;
    if (mBuffer != nullptr) {
        HRESULT result = mBuffer->Stop();
        if (FAILED(result)) REPORT_SOUND_ERROR(result);
        mBuffer->Release();
        mBuffer = nullptr;
    }
    for (HANDLE& event : mNotifyPart.events) {
        if (event != nullptr) CloseHandle(event);
        event = nullptr;
    }
}

void TSoundStream::Play(bool oneShot) {
    TSoundLock lock(mManager);
    if (oneShot) mOneShot = true;
    if (mBuffer != nullptr) {
        SetVolume(mManager->GetVolume(mGroup));
        if (mManager->IsActive()) {
            HRESULT result = mBuffer->Play(0, 0, mOneShot ? 0 : DSBPLAY_LOOPING);
            if (FAILED(result)) REPORT_SOUND_ERROR(result);
        } else {
            // Activation resumes it.
            mSuspended = true;
            mPaused = true;
        }
    }
    mClock.Reset();
    mClock.Start();
}

void TSoundStream::Pause(bool pause) {
    TSoundLock lock(mManager);
    if (mBuffer != nullptr && !pause) {
        mPaused = false;
        Play(mOneShot);
        mClock.Start();
        return;
    }
    if (mBuffer != nullptr) {
        mPaused = true;
        HRESULT result = mBuffer->Stop();
        if (FAILED(result)) REPORT_SOUND_ERROR(result);
        mSuspended = false;
    } else {
        // Kept without a buffer too, so that activation leaves a sound the game paused paused:
        // its clock would otherwise run on, and the sound end while paused.
        mPaused = pause;
        if (pause) mSuspended = false;
    }
    if (pause) {
        mClock.Pause();
    } else {
        mClock.Start();
    }
}

void TSoundStream::Suspend(bool suspend) {
    if (suspend) {
        if (!mPaused) {
            Pause(true);
            mSuspended = true;
        }
    } else if (mSuspended) {
        Pause(false);
        mSuspended = false;
    }
}

void TSoundStream::Stop(bool notify) {
    TSoundLock lock(mManager);
    if (mStopped) return;
    mStopped = true;
    if (mBuffer != nullptr) {
        HRESULT result = mBuffer->Stop();
        if (FAILED(result)) REPORT_SOUND_ERROR(result);
    }
    mNextSpooler.reset();
    mNextNotify.reset();
    // Null while the stream is being destroyed: then there is nothing left to hand over.
    std::shared_ptr<TSoundStream> self = weak_from_this().lock();
    if (self == nullptr) return;
    if (notify) {
        mManager->QueueFinished(self);
    } else {
        mManager->RemoveStream(self);
    }
    // The last reference may go here: nothing of the stream is touched after it.
}

void TSoundStream::SetVolume(float volume) {
    TSoundLock lock(mManager);
    LONG level = DSBVOLUME_MIN;
    if (volume != 0.0f && !std::isnan(volume)) {
        float clamped = std::clamp(volume, 0.0f, 1.0f);
        level = static_cast<LONG>(-(1.0f - clamped) * kVolumeRange);
    }
    if (mBuffer == nullptr) return;
    DWORD status = 0;
    HRESULT result = mBuffer->GetStatus(&status);
    if (FAILED(result)) REPORT_SOUND_ERROR(result);
    if (status == DSBSTATUS_BUFFERLOST) {
        result = mBuffer->Restore();
        if (FAILED(result)) REPORT_SOUND_ERROR(result);
    }
    result = mBuffer->SetVolume(level);
    if (FAILED(result)) REPORT_SOUND_ERROR(result);
}

bool TSoundStream::QueueNext(const std::shared_ptr<TStreamNotify>& next,
                             std::unique_ptr<TStreamSpooler>&& spooler) {
    TSoundLock lock(mManager);
    if (mBuffer != nullptr && mExhausted && mRemaining <= 0) return false;
    mNextNotify = next;
    mNextSpooler = std::move(spooler);
    return true;
}

void TSoundStream::SwitchToNext() {
    mSpooler = std::move(mNextSpooler);
    mExhausted = false;
    // The drain of the new data runs its full course, whatever the old one had counted.
    mRemaining = static_cast<int>(mBufferSize);
    mEndedNotify = mNotify;
    if (std::shared_ptr<TSoundInstance> instance = mInstance.lock()) instance->MoveToNext(this);
    mNotify = mNextNotify;
    mNextNotify.reset();
}
