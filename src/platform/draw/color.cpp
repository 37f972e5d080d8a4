#include "platform/draw/color.h"

uint8_t TColor::ComponentToByte(float component) {
    double scaled = component * 255.0;
    // Written so that NaN fails both tests and ends at 0.
    if (!(scaled > 0.0)) return 0;
    if (!(scaled < 255.0)) return 255;
    return static_cast<uint8_t>(scaled);
}

TColor::TColor(float red, float green, float blue, float alpha)
    : TColor(ComponentToByte(red), ComponentToByte(green), ComponentToByte(blue),
             ComponentToByte(alpha)) {}
