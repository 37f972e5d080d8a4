// Randomness for pictures, seeded from names: the same name always gives the same numbers, on
// every machine and in every run (never rand() or the clock), so a generator's output depends on
// its sources alone. Also value noise, a distance field over a picture's ink, and Poisson-disc
// placement of points.
//
// A Seeded generator belongs to its user; the functions are pure.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "image.h"

namespace drawkit {

// splitmix64 over a seed hashed from the name (FNV-1a).
class Seeded {
public:
    explicit Seeded(std::string_view name);
    uint64_t Next();
    // Uniform in [low, high).
    double Uniform(double low, double high);

private:
    uint64_t mState;
};

// Smooth value noise in [0, 1] at (x, y), lattice spacing 1, from the seed.
double ValueNoise(uint64_t seed, double x, double y);

// For every pixel, its distance in pixels (chamfer 3-4, divided by 3) to the nearest pixel whose
// alpha is above threshold; 0 on the ink. Row by row, width × height entries.
std::vector<float> DistanceField(const Image& image, uint8_t threshold = 0);

struct Point {
    double x = 0;
    double y = 0;
};

// Points in [0, width) × [0, height), none closer than spacing to another, placed by dart
// throwing from the generator (at most tries darts), in the order they were accepted.
std::vector<Point> PoissonDisc(Seeded& random, double width, double height, double spacing,
                               int tries);

}  // namespace drawkit
