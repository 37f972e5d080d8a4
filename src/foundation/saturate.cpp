#include "foundation/saturate.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();

}  // namespace

int32_t SaturateToInt(int64_t value) {
    if (value < kIntMin) return static_cast<int32_t>(kIntMin);
    if (value > kIntMax) return static_cast<int32_t>(kIntMax);
    return static_cast<int32_t>(value);
}

int32_t TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value <= static_cast<double>(kIntMin)) return static_cast<int32_t>(kIntMin);
    if (value >= static_cast<double>(kIntMax)) return static_cast<int32_t>(kIntMax);
    return static_cast<int32_t>(value);
}

int32_t TextToInt(const str& text) {
    // strtoll saturates at 64 bits, which the clamp then brings to 32.
    return SaturateToInt(std::strtoll(text.c_str(), nullptr, 10));
}
