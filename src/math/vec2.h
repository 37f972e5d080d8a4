// TVec2: a point or a direction in the plane, two floats. The drawing code gives it more
// operations; the matrices only need the pair.
#pragma once

struct TVec2 {
    float x = 0.0f;
    float y = 0.0f;
};
