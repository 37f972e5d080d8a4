#include "math/vec2.h"

#include <array>
#include <cmath>

namespace {

// The sines of 0 to 359 whole degrees, each rounded to a float.
const std::array<float, 360>& SineTable() {
    static const std::array<float, 360> table = [] {
        std::array<float, 360> sines{};
        for (int degree = 0; degree < 360; ++degree)
            sines[degree] = static_cast<float>(std::sin(degree * (M_PI / 180.0)));
        return sines;
    }();
    return table;
}

}  // namespace

void TVec2::Rotate(int degrees) {
    // The remainder of any int, the most negative one included, lies in -359..359.
    int d = degrees % 360;
    if (d < 0) d += 360;
    if (d == 0) return;
    const std::array<float, 360>& sines = SineTable();
    float s = sines[d];
    float c = sines[(d + 90) % 360];
    float oldX = x;
    x = y * s + oldX * c;
    y = y * c - oldX * s;
}
