// TSoundStream's refill: which half to fill from the cursors, the end of a one-shot buffer, the
// drain countdown after the data's end, and the move to a queued continuation within a half.
#include <cstring>

#include "audio/soundhooks.h"
#include "audio/soundlock.h"
#include "audio/soundstream.h"
#include "audio/streamspooler.h"

bool TSoundStream::Refill(bool initial) {
    const uint32_t half = mBufferSize / 2;
    TSoundLock lock(mManager);
    if (mBuffer == nullptr) return RefillWithoutBuffer();

    DWORD play = 0xFFFFFFFFu;
    DWORD write = 0xFFFFFFFFu;
    HRESULT result = mBuffer->GetCurrentPosition(&play, &write);
    if (FAILED(result)) {
        REPORT_SOUND_ERROR(result);
        play = write = 0xFFFFFFFFu;
    }

    // The half that the play position has left behind. Around either boundary, while the play
    // position is still in one half and the write position already in the other, neither half
    // is free: the bytes up to the write position are being played.
    DWORD offset;
    int number;
    if (initial) {
        offset = 0;
        number = 1;
    } else if (write < half && play < half) {
        offset = half;
        number = 2;
    } else if (play > half && write >= half) {
        offset = 0;
        number = 1;
    } else {
        return true;
    }
    if (number == mLastFilledHalf) {
        // A buffer played once stops at its end, where play and write meet; a paused one (the
        // game's pause or the application's) has stopped where it was, and resumes from there.
        return !(mOneShot && !mPaused && play >= write);
    }
    mLastFilledHalf = number;

    if (mExhausted) {
        mRemaining -= static_cast<int>(half);
        if (mRemaining <= 0 && mNextSpooler == nullptr) {
            result = mBuffer->Stop();
            if (FAILED(result)) REPORT_SOUND_ERROR(result);
            mSpooler.reset();
            return false;
        }
    }

    void* region = nullptr;
    DWORD regionBytes = 0;
    void* second = nullptr;
    DWORD secondBytes = 0;
    result = mBuffer->Lock(offset, half, &region, &regionBytes, &second, &secondBytes, 0);
    if (FAILED(result)) {
        REPORT_SOUND_ERROR(result);
        return false;
    }
    auto* bytes = static_cast<uint8_t*>(region);
    uint32_t got = 0;
    bool ok = false;
    if (mSpooler != nullptr) {
        ok = mSpooler->Read(regionBytes, bytes, got, mLoop);
    } else {
        std::memset(bytes, 0, regionBytes);
    }
    mExhausted = !ok;
    if (mExhausted && mNextSpooler != nullptr) {
        // The continuation carries on where the data ended, within this half.
        SwitchToNext();
        if (got < regionBytes) {
            mSpooler->Rewind();
            uint32_t more = 0;
            ok = mSpooler->Read(regionBytes - got, bytes + got, more, mLoop);
            mExhausted = !ok;
        }
    }
    // The halves never reach the buffer's end: the second region stays empty.
    result = mBuffer->Unlock(region, regionBytes, second, secondBytes);
    if (FAILED(result)) REPORT_SOUND_ERROR(result);
    return true;
}

bool TSoundStream::RefillWithoutBuffer() {
    if (mSpooler == nullptr) return true;
    if (mSpooler->GetLength() < static_cast<float>(mClock.GetTime()) / 1000.0f) {
        if (mNextSpooler == nullptr) return false;
        SwitchToNext();
        mClock.Reset();
        mClock.Start();
    }
    return true;
}
