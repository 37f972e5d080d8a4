#include "port/system/crtrandom.h"

#include <cstdint>

namespace {
thread_local uint32_t tState = 1;
}

void CrtSrand(unsigned int seed) {
    tState = seed;
}

// A linear congruential generator; the result is bits 16 to 30 of the new state.
int CrtRand() {
    tState = tState * 214013u + 2531011u;
    return static_cast<int>((tState >> 16) & CRT_RAND_MAX);
}
