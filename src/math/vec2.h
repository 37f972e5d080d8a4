// TVec2: a point or a direction in the plane, two floats, (0, 0) by default. The matrices keep
// their rows' pairs in it, so its layout is exactly the two floats. All arithmetic is single
// precision. Rotate reads a table of sines made once, on first use (thread-safe).
#pragma once

struct TVec2 {
    constexpr TVec2() = default;
    constexpr TVec2(float x, float y) : x(x), y(y) {}

    TVec2& operator+=(const TVec2& other) {
        x += other.x;
        y += other.y;
        return *this;
    }
    TVec2& operator*=(float factor) {
        x *= factor;
        y *= factor;
        return *this;
    }
    TVec2 operator-() const { return TVec2(-x, -y); }

    // Rotates in place by a whole number of degrees, any int (taken modulo 360 into 0..359),
    // through the 32-bit float sines of 0 to 359 degrees: with s and c the sine and cosine of
    // the angle, x becomes y·s + x·c and y becomes y·c − x·s. A multiple of 360 changes nothing.
    void Rotate(int degrees);
    friend TVec2 operator+(const TVec2& a, const TVec2& b) { return TVec2(a.x + b.x, a.y + b.y); }
    friend TVec2 operator*(const TVec2& v, float factor) {
        return TVec2(v.x * factor, v.y * factor);
    }
    // Each component divided by the divisor.
    friend TVec2 operator/(const TVec2& v, float divisor) {
        return TVec2(v.x / divisor, v.y / divisor);
    }

    float x = 0.0f;
    float y = 0.0f;
};
