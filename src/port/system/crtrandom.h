// The C runtime's small generator, as the program expects it: srand/rand with results from 0 to
// 32767 (glibc's rand has a wider range). Each thread has its own state, seeded 1 until it calls
// CrtSrand.
#pragma once

constexpr int CRT_RAND_MAX = 0x7FFF;

void CrtSrand(unsigned int seed);
int CrtRand();
