#include "foundation/random.h"

namespace {
constexpr int kShift = 397;
constexpr uint32_t kMatrix = 0x9908B0DFu;
constexpr uint32_t kUpperMask = 0x80000000u;
constexpr uint32_t kLowerMask = 0x7FFFFFFFu;
constexpr uint32_t kDefaultKey[4] = {0xD4C4CF4Bu, 0x3E2019A7u, 0xE6489797u, 0x5746FCB5u};
}  // namespace

TRandom::TRandom() : mState{}, mIndex(kWords + 1) {
    SeedByArray(kDefaultKey, 4);
}

void TRandom::Seed(uint32_t seed) {
    mState[0] = seed;
    for (int i = 1; i < kWords; ++i) {
        mState[i] =
            1812433253u * (mState[i - 1] ^ (mState[i - 1] >> 30)) + static_cast<uint32_t>(i);
    }
    mIndex = kWords;
}

void TRandom::SeedByArray(const uint32_t* key, int length) {
    Seed(19650218u);
    if (length <= 0) length = 1;  // the reference divides by the key length
    int i = 1, j = 0;
    for (int k = (kWords > length ? kWords : length); k > 0; --k) {
        mState[i] = (mState[i] ^ ((mState[i - 1] ^ (mState[i - 1] >> 30)) * 1664525u)) +
                    (key ? key[j] : 0) + static_cast<uint32_t>(j);
        ++i;
        ++j;
        if (i >= kWords) {
            mState[0] = mState[kWords - 1];
            i = 1;
        }
        if (j >= length) j = 0;
    }
    for (int k = kWords - 1; k > 0; --k) {
        mState[i] = (mState[i] ^ ((mState[i - 1] ^ (mState[i - 1] >> 30)) * 1566083941u)) -
                    static_cast<uint32_t>(i);
        ++i;
        if (i >= kWords) {
            mState[0] = mState[kWords - 1];
            i = 1;
        }
    }
    mState[0] = 0x80000000u;
}

uint32_t TRandom::Next() {
    if (mIndex >= kWords) {
        auto mix = [this](int a, int b, int c) {
            uint32_t y = (mState[a] & kUpperMask) | (mState[b] & kLowerMask);
            mState[a] = mState[c] ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
        };
        int k = 0;
        for (; k < kWords - kShift; ++k)
            mix(k, k + 1, k + kShift);
        for (; k < kWords - 1; ++k)
            mix(k, k + 1, k + (kShift - kWords));
        mix(kWords - 1, 0, kShift - 1);
        mIndex = 0;
    }
    uint32_t y = mState[mIndex++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

double TRandom::NextDouble() {
    uint32_t a = Next() >> 5;
    uint32_t b = Next() >> 6;
    return (a * 67108864.0 + b) * (1.0 / 9007199254740992.0);
}

int TRandom::NextRange(int lo, int hi) {
    double span = static_cast<double>(hi) - static_cast<double>(lo) + 1.0;
    // The offset can pass the int range (up to 2^32 - 1 for INT_MIN .. INT_MAX); lo plus it never
    // does, so the sum is made in 64 bits.
    int64_t offset = static_cast<int64_t>(NextDouble() * span);
    return static_cast<int>(static_cast<int64_t>(lo) + offset);
}
