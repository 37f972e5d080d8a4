// GNameMask: a name such as "walk_NE" or "cure_all_off" as a 64-bit key. Each word of the name
// (the runs between "_") has a number from 1 to 255 given by the name-key registry
// (namemaskregistry.h); the key holds up to eight of them, the first word in the lowest byte.
// The empty key (0) is the empty name. Keys are compared for equality and joined with Append;
// they have no order. A plain value.
#pragma once

#include <cstdint>

#include "gv/keys/flagmask.h"

class GNameMask : public TFlagMask {
public:
    constexpr GNameMask() = default;
    // A whole key, or a single word number.
    constexpr explicit GNameMask(uint64_t bits) : TFlagMask(bits) {}

    // The key of the name made of key's words and then other's (joined by "_"): other is shifted
    // past the bytes key already uses. Words that would land beyond the eighth byte are dropped;
    // an empty other changes nothing.
    static constexpr GNameMask Append(GNameMask key, GNameMask other) {
        const uint64_t bits = key.Bits();
        int used = 0;
        while (used < 64 && (bits >> used) != 0)
            used += 8;
        if (used >= 64) return key;
        return GNameMask(bits | (other.Bits() << used));
    }
};
