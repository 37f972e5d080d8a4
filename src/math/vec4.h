// TVec4: four floats, all 0 by default. The drawing code uses it for matrix rows and for float
// colours (red, green, blue, alpha in that order, each 0.0 to 1.0).
#pragma once

struct TVec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};
