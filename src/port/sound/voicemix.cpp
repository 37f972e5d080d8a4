// The mixing of one voice: adds a block of it to the output's sums and moves its cursor. Runs on
// the mixer's thread, once per block for each playing buffer: no allocation, and the buffers at
// the output's rate (the game's music and most of its effects) take a straight loop that the
// compiler vectorises.
#include <algorithm>

#include "port/sound/voice.h"

namespace port::sound {
namespace {

constexpr float kFractionScale = 1.0f / static_cast<float>(kOutputRate);

// Adds `count` frames read one to one.
void AddStraight(float* mix, const int16_t* source, uint32_t count, bool stereo, float gain) {
    if (stereo) {
        for (uint32_t i = 0; i < count * 2; ++i)
            mix[i] += static_cast<float>(source[i]) * gain;
    } else {
        for (uint32_t i = 0; i < count; ++i) {
            float value = static_cast<float>(source[i]) * gain;
            mix[2 * i] += value;
            mix[2 * i + 1] += value;
        }
    }
}

float Between(int16_t from, int16_t to, float weight) {
    float a = static_cast<float>(from);
    return a + (static_cast<float>(to) - a) * weight;
}

}  // namespace

void Voice::MixInto(float* mix, uint32_t frames) {
    std::lock_guard<std::mutex> lock(mLock);
    if (!mPlaying) return;
    DWORD from = PlayCursorLocked();
    bool ended = false;
    uint64_t moved = mFormat.nSamplesPerSec == kOutputRate
                         ? MixStraightLocked(mix, frames, &ended)
                         : MixResampledLocked(mix, frames, &ended);
    SignalPassedLocked(from, moved * mBlock);
    if (ended) {
        // A buffer played once reads (0, 0) and not playing from here.
        mFrame = 0;
        mFraction = 0;
        StopLocked();
    }
}

uint64_t Voice::MixStraightLocked(float* mix, uint32_t frames, bool* ended) {
    const bool stereo = mFormat.nChannels == 2;
    uint64_t moved = 0;
    uint32_t done = 0;
    while (done < frames) {
        uint32_t run = std::min(frames - done, mFrames - mFrame);
        if (mGain != 0.0f) {
            AddStraight(mix + 2 * done, mSamples.data() + mFrame * mFormat.nChannels, run, stereo,
                        mGain);
        }
        done += run;
        moved += run;
        mFrame += run;
        if (mFrame == mFrames) {
            mFrame = 0;
            if (!mLooping) {
                *ended = true;
                break;
            }
        }
    }
    return moved;
}

uint64_t Voice::MixResampledLocked(float* mix, uint32_t frames, bool* ended) {
    const int16_t* samples = mSamples.data();
    const bool stereo = mFormat.nChannels == 2;
    const DWORD rate = mFormat.nSamplesPerSec;
    uint64_t moved = 0;
    for (uint32_t i = 0; i < frames; ++i) {
        // The frame after the cursor's: the first at a looping buffer's end, silence after the
        // end of one played once.
        DWORD next = mFrame + 1;
        bool silentNext = false;
        if (next == mFrames) {
            next = 0;
            silentNext = !mLooping;
        }
        float weight = static_cast<float>(mFraction) * kFractionScale;
        if (stereo) {
            const int16_t* at = samples + 2 * mFrame;
            int16_t left = silentNext ? 0 : samples[2 * next];
            int16_t right = silentNext ? 0 : samples[2 * next + 1];
            mix[2 * i] += Between(at[0], left, weight) * mGain;
            mix[2 * i + 1] += Between(at[1], right, weight) * mGain;
        } else {
            float value = Between(samples[mFrame], silentNext ? 0 : samples[next], weight) * mGain;
            mix[2 * i] += value;
            mix[2 * i + 1] += value;
        }
        mFraction += rate;
        if (mFraction < kOutputRate) continue;
        DWORD step = mFraction / kOutputRate;
        mFraction -= step * kOutputRate;
        uint64_t reached = uint64_t{mFrame} + step;
        if (reached >= mFrames && !mLooping) {
            moved += mFrames - mFrame;
            *ended = true;
            break;
        }
        moved += step;
        mFrame = static_cast<DWORD>(reached % mFrames);
    }
    return moved;
}

}  // namespace port::sound
