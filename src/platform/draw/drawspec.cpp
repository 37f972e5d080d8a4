#include "platform/draw/drawspec.h"

TDrawSpec::TDrawSpec(float x, float y, float opacity, float scale, uint32_t flags)
    : mOpacity(opacity), mFlags(flags) {
    mTransform.m[6] = x;
    mTransform.m[7] = y;
    if (scale != 1.0f) mTransform.Scale(scale);
}
