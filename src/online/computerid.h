// The computer identifier: a 16-character text that tells machines apart for the online services
// and the cheat code, made from 8 bytes of a hardware address. Adapter addresses cannot be read
// yet, so GetComputerId takes the bytes of a new GUID, as for a machine without a usable adapter:
// such a machine gets a new identifier every run.
//
// Any thread.
#pragma once

#include <cstdint>

#include "foundation/str.h"

// Never empty, never fails.
str GetComputerId();

// The text for an 8-byte address A0..A7: A6 and A7 are replaced by A3 and A4 (an Ethernet
// address fills only A0..A5); then for each i, x = A[i] ^ A[(i + 1) % 8] gives the characters
// 64 + (x & 31) and 66 + i + (x >> 5).
str MakeComputerId(const uint8_t address[8]);
