// TRandom: the framework's pseudo-random generator, the Mersenne Twister MT19937 (32-bit),
// bit for bit the 2002 reference, with a uniform double and a uniform integer range on top.
// A default-constructed generator is seeded with four fixed words, so every one starts with the
// same sequence; Next never seeds by itself.
#pragma once

#include <cstdint>

class TRandom {
public:
    TRandom();

    // init_genrand.
    void Seed(uint32_t seed);
    // init_by_array.
    void SeedByArray(const uint32_t* key, int length);
    // genrand_int32.
    uint32_t Next();
    // genrand_res53: a double in [0, 1) from two outputs.
    double NextDouble();
    // Uniform over lo .. hi inclusive: lo + the integer part of NextDouble() x (hi - lo + 1), for
    // every pair of ints, INT_MIN .. INT_MAX included.
    int NextRange(int lo, int hi);

private:
    static constexpr int kWords = 624;
    uint32_t mState[kWords];
    int mIndex;
};
