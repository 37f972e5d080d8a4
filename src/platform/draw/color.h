// TColor: a colour as one 32-bit word 0xAARRGGBB (alpha in bits 24-31, red 16-23, green 8-15,
// blue 0-7), the form pixels and vertex colours take everywhere in the drawing code. A plain
// value; any thread.
#pragma once

#include <cstdint>

class TColor {
public:
    constexpr TColor() = default;
    constexpr TColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
        : mValue(static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(red) << 16 |
                 static_cast<uint32_t>(green) << 8 | blue) {}
    constexpr explicit TColor(uint32_t packed) : mValue(packed) {}
    // Each component × 255 truncated toward zero, held to 0..255; NaN gives 0.
    TColor(float red, float green, float blue, float alpha)
        : TColor(ComponentToByte(red), ComponentToByte(green), ComponentToByte(blue),
                 ComponentToByte(alpha)) {}

    constexpr uint32_t GetPacked() const { return mValue; }

    constexpr uint8_t GetAlpha() const { return static_cast<uint8_t>(mValue >> 24); }
    constexpr uint8_t GetRed() const { return static_cast<uint8_t>(mValue >> 16); }
    constexpr uint8_t GetGreen() const { return static_cast<uint8_t>(mValue >> 8); }
    constexpr uint8_t GetBlue() const { return static_cast<uint8_t>(mValue); }
    void SetAlpha(uint8_t alpha) { SetByte(24, alpha); }
    void SetRed(uint8_t red) { SetByte(16, red); }
    void SetGreen(uint8_t green) { SetByte(8, green); }
    void SetBlue(uint8_t blue) { SetByte(0, blue); }

    // The alpha byte of a 0xAARRGGBB pixel, as read from a texture lock.
    static constexpr uint8_t GetAlpha(uint32_t pixel) { return static_cast<uint8_t>(pixel >> 24); }

    // A float colour component (0.0 to 1.0) as a byte: × 255 truncated toward zero, held to
    // 0..255, NaN 0. Out-of-range values never wrap around.
    static uint8_t ComponentToByte(float component) {
        double scaled = component * 255.0;
        // Written so that NaN fails both tests and ends at 0.
        if (!(scaled > 0.0)) return 0;
        if (!(scaled < 255.0)) return 255;
        return static_cast<uint8_t>(scaled);
    }

    friend constexpr bool operator==(TColor a, TColor b) { return a.mValue == b.mValue; }

private:
    void SetByte(int shift, uint8_t value) {
        mValue = (mValue & ~(0xFFu << shift)) | static_cast<uint32_t>(value) << shift;
    }

    uint32_t mValue = 0;
};
