// Matrix helpers for the draw calls' transforms: products in the row-vector convention and the
// projections the 2-D and 3-D passes set.
#pragma once

#include "math/mat4.h"

namespace raster {

// a x b: a row vector v becomes v x a x b. Computed in double, stored in float.
TMat4 Multiply(const TMat4& a, const TMat4& b);

// The left-handed off-centre orthographic projection of [left, right] x [bottom, top] x
// [zNear, zFar] onto the unit cube (x and y to -1..1, z to 0..1). Passing top < bottom makes y
// grow downwards, as the 2-D pass does with top = the upper edge and bottom = the lower one.
TMat4 OrthoOffCenter(float left, float right, float bottom, float top, float zNear, float zFar);

// The same matrix changed so that z passes unchanged through an orthographic projection: the
// terms (row, column) (3, 3) = 1, (3, 4) = 0, (4, 3) = 0 and (4, 4) = 1, counting from 1.
TMat4 PassDepthThrough(const TMat4& m);

// A left-handed perspective projection with a vertical field of view (radians) and an aspect
// ratio of width over height; z maps zNear..zFar onto 0..1 and w is the view-space z.
TMat4 PerspectiveFov(float fieldOfView, float aspect, float zNear, float zFar);

}  // namespace raster
