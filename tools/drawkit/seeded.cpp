#include "seeded.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace drawkit {

Seeded::Seeded(std::string_view name) : mState(1469598103934665603ull) {
    for (char c : name) {
        mState ^= uint8_t(c);
        mState *= 1099511628211ull;
    }
}

uint64_t Seeded::Next() {
    uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Seeded::Uniform(double low, double high) {
    return low + (high - low) * double(Next() >> 11) * (1.0 / 9007199254740992.0);
}

namespace {

double Lattice(uint64_t seed, int64_t x, int64_t y) {
    uint64_t z =
        seed ^ (uint64_t(x) * 0x9E3779B97F4A7C15ull) ^ (uint64_t(y) * 0xC2B2AE3D27D4EB4Full);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * (1.0 / 9007199254740992.0);
}

double Smooth(double t) {
    return t * t * (3 - 2 * t);
}

}  // namespace

double ValueNoise(uint64_t seed, double x, double y) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int64_t ix = int64_t(fx), iy = int64_t(fy);
    const double tx = Smooth(x - fx), ty = Smooth(y - fy);
    const double a = Lattice(seed, ix, iy), b = Lattice(seed, ix + 1, iy);
    const double c = Lattice(seed, ix, iy + 1), d = Lattice(seed, ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

std::vector<float> DistanceField(const Image& image, uint8_t threshold) {
    const int w = image.width, h = image.height;
    const int far = std::numeric_limits<int>::max() / 4;
    std::vector<int> d(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d[size_t(y) * w + x] = image.At(x, y)[3] > threshold ? 0 : far;
    auto at = [&](int x, int y) -> int& { return d[size_t(y) * w + x]; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int& v = at(x, y);
            if (x > 0) v = std::min(v, at(x - 1, y) + 3);
            if (y > 0) v = std::min(v, at(x, y - 1) + 3);
            if (x > 0 && y > 0) v = std::min(v, at(x - 1, y - 1) + 4);
            if (x + 1 < w && y > 0) v = std::min(v, at(x + 1, y - 1) + 4);
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = w - 1; x >= 0; --x) {
            int& v = at(x, y);
            if (x + 1 < w) v = std::min(v, at(x + 1, y) + 3);
            if (y + 1 < h) v = std::min(v, at(x, y + 1) + 3);
            if (x + 1 < w && y + 1 < h) v = std::min(v, at(x + 1, y + 1) + 4);
            if (x > 0 && y + 1 < h) v = std::min(v, at(x - 1, y + 1) + 4);
        }
    }
    std::vector<float> out(d.size());
    for (size_t i = 0; i < d.size(); ++i)
        out[i] = d[i] >= far ? std::numeric_limits<float>::infinity() : float(d[i]) / 3.0f;
    return out;
}

std::vector<Point> PoissonDisc(Seeded& random, double width, double height, double spacing,
                               int tries) {
    std::vector<Point> points;
    for (int i = 0; i < tries; ++i) {
        const Point p{random.Uniform(0, width), random.Uniform(0, height)};
        bool free = true;
        for (const Point& q : points) {
            if (std::hypot(p.x - q.x, p.y - q.y) < spacing) {
                free = false;
                break;
            }
        }
        if (free) points.push_back(p);
    }
    return points;
}

}  // namespace drawkit
