// TFlagMask: a 64-bit key kept as two 32-bit halves. The visual objects and the world compare
// their name keys (namemask.h) through it; two keys are equal when both halves are.
// A plain value: copy it freely, from any thread.
#pragma once

#include <cstdint>

class TFlagMask {
public:
    constexpr TFlagMask() = default;
    constexpr explicit TFlagMask(uint64_t bits)
        : mLow(static_cast<uint32_t>(bits)), mHigh(static_cast<uint32_t>(bits >> 32)) {}

    constexpr uint64_t Bits() const { return (static_cast<uint64_t>(mHigh) << 32) | mLow; }
    constexpr uint32_t Low() const { return mLow; }
    constexpr uint32_t High() const { return mHigh; }
    constexpr bool IsEmpty() const { return mLow == 0 && mHigh == 0; }

    friend constexpr bool operator==(const TFlagMask& a, const TFlagMask& b) {
        return a.mLow == b.mLow && a.mHigh == b.mHigh;
    }

private:
    uint32_t mLow = 0;
    uint32_t mHigh = 0;
};
