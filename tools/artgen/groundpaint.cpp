#include "groundpaint.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "seeded.h"

namespace artgen {

namespace {

constexpr int kW = GroundMask::kWidth;
constexpr int kH = GroundMask::kHeight;
// Smooth fields are sampled every kStep pixels and read back bilinearly.
constexpr int kStep = 4;

uint64_t SeedOf(const char* name) {
    drawkit::Seeded random(name);
    return random.Next();
}

// A smooth field over the world, sampled on a coarse grid.
class Field {
public:
    template <typename Value>
    explicit Field(Value value)
        : mColumns(kW / kStep + 2), mRows(kH / kStep + 2), mSamples(size_t(mColumns) * mRows) {
        for (int r = 0; r < mRows; ++r)
            for (int c = 0; c < mColumns; ++c)
                mSamples[size_t(r) * mColumns + c] = float(value(c * kStep, r * kStep));
    }
    double At(double x, double y) const {
        const double fx = std::clamp(x / kStep, 0.0, double(mColumns - 2));
        const double fy = std::clamp(y / kStep, 0.0, double(mRows - 2));
        const int c = int(fx), r = int(fy);
        const double u = fx - c, v = fy - r;
        auto s = [&](int cc, int rr) { return double(mSamples[size_t(rr) * mColumns + cc]); };
        return (s(c, r) * (1 - u) + s(c + 1, r) * u) * (1 - v) +
               (s(c, r + 1) * (1 - u) + s(c + 1, r + 1) * u) * v;
    }

private:
    int mColumns, mRows;
    std::vector<float> mSamples;
};

// Two octaves of value noise in [-1, 1].
double Wobble(uint64_t seed, double x, double y) {
    return (drawkit::ValueNoise(seed, x / 56, y / 56) * 2 - 1) * 0.7 +
           (drawkit::ValueNoise(seed ^ 0x5bd1e995u, x / 19, y / 19) * 2 - 1) * 0.3;
}

drawkit::Rgb Mix(const drawkit::Rgb& a, const drawkit::Rgb& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

drawkit::Rgb Scale(const drawkit::Rgb& a, double k) {
    return {std::clamp(a.r * k, 0.0, 1.0), std::clamp(a.g * k, 0.0, 1.0),
            std::clamp(a.b * k, 0.0, 1.0)};
}

// Along a ramp: 0 its shade, 0.5 its base, 1 its light.
drawkit::Rgb Along(const drawkit::Ramp& ramp, double t) {
    return t < 0.5 ? Mix(ramp.shade, ramp.base, t * 2) : Mix(ramp.base, ramp.light, t * 2 - 1);
}

uint32_t Pack(const drawkit::Rgb& c) {
    auto channel = [](double v) { return uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return 0xFF000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

drawkit::Rgb Unpack(uint32_t p) {
    return {((p >> 16) & 0xFF) / 255.0, ((p >> 8) & 0xFF) / 255.0, (p & 0xFF) / 255.0};
}

// How much of a path lies around a pixel, 0 to 1: the path cells blurred over about a cell, at
// half the resolution, read back bilinearly. A path is walked as grass; painted from this, a
// path of cells that steps diagonally runs as one smooth band with soft edges.
class PathField {
public:
    explicit PathField(const GroundMask& mask) : mField(static_cast<size_t>(kHalfW) * kHalfH) {
        for (int y = 0; y < kHalfH; ++y)
            for (int x = 0; x < kHalfW; ++x)
                mField[size_t(y) * kHalfW + x] = mask.At(2 * x, 2 * y) == Ground::kPath ? 1 : 0;
        for (int pass = 0; pass < 2; ++pass) {
            Blur(1, kHalfW, kHalfW, kHalfH);
            Blur(kHalfW, 1, kHalfH, kHalfW);
        }
    }
    double At(double x, double y) const {
        const double fx = std::clamp(x / 2, 0.0, double(kHalfW - 1));
        const double fy = std::clamp(y / 2, 0.0, double(kHalfH - 1));
        const int c = std::min(int(fx), kHalfW - 2), r = std::min(int(fy), kHalfH - 2);
        const double u = fx - c, v = fy - r;
        auto s = [&](int cc, int rr) { return double(mField[size_t(rr) * kHalfW + cc]); };
        return (s(c, r) * (1 - u) + s(c + 1, r) * u) * (1 - v) +
               (s(c, r + 1) * (1 - u) + s(c + 1, r + 1) * u) * v;
    }

private:
    static constexpr int kHalfW = kW / 2;
    static constexpr int kHalfH = kH / 2;
    static constexpr int kRadius = 5;

    // A running box mean of kRadius each way along lines: step between samples, stride between
    // lines, length samples a line, count lines.
    void Blur(int step, int stride, int length, int count) {
        std::vector<float> line(static_cast<size_t>(length));
        for (int l = 0; l < count; ++l) {
            float* at = &mField[size_t(l) * size_t(stride)];
            for (int i = 0; i < length; ++i)
                line[size_t(i)] = at[size_t(i) * size_t(step)];
            double sum = 0;
            for (int i = -kRadius; i <= kRadius; ++i)
                sum += line[size_t(std::clamp(i, 0, length - 1))];
            for (int i = 0; i < length; ++i) {
                at[size_t(i) * size_t(step)] = float(sum / (2 * kRadius + 1));
                sum += line[size_t(std::min(i + kRadius + 1, length - 1))] -
                       line[size_t(std::max(i - kRadius, 0))];
            }
        }
    }

    std::vector<float> mField;
};

// Distances, in pixels, from every pixel to the nearest pixel where inside(ground) is false (0
// outside), reckoned at half the resolution and read back bilinearly: the shading they drive is
// smooth.
class Distances {
public:
    // borderOutside: the world's edge counts as outside too (a mountain in a corner peaks
    // inside the world, not in the corner).
    Distances(const GroundMask& mask, bool (*inside)(Ground), bool borderOutside = false) {
        drawkit::Image outside(kHalfW, kHalfH);
        for (int y = 0; y < kHalfH; ++y) {
            for (int x = 0; x < kHalfW; ++x) {
                const bool border = x == 0 || y == 0 || x == kHalfW - 1 || y == kHalfH - 1;
                outside.At(x, y)[3] =
                    inside(mask.At(2 * x, 2 * y)) && !(borderOutside && border) ? 0 : 255;
            }
        }
        mField = drawkit::DistanceField(outside);
    }
    double At(double x, double y) const {
        const double fx = std::clamp(x / 2, 0.0, double(kHalfW - 1));
        const double fy = std::clamp(y / 2, 0.0, double(kHalfH - 1));
        const int c = std::min(int(fx), kHalfW - 2), r = std::min(int(fy), kHalfH - 2);
        const double u = fx - c, v = fy - r;
        auto s = [&](int cc, int rr) { return double(mField[size_t(rr) * kHalfW + cc]); };
        return 2 * ((s(c, r) * (1 - u) + s(c + 1, r) * u) * (1 - v) +
                    (s(c, r + 1) * (1 - u) + s(c + 1, r + 1) * u) * v);
    }
    // The slope at a pixel, by central differences over d pixels.
    void Slope(int x, int y, int d, double* gx, double* gy) const {
        *gx = (At(x + d, y) - At(x - d, y)) / (2.0 * d);
        *gy = (At(x, y + d) - At(x, y - d)) / (2.0 * d);
    }

private:
    static constexpr int kHalfW = kW / 2;
    static constexpr int kHalfH = kH / 2;
    std::vector<float> mField;
};

// Ground raised by its distance into a region: top × (1 - e^(-d / falloff)), roughened by a
// noise that grows from nothing at the edge. Brightness follows the slope under the style's light.
class Relief {
public:
    // cel: the light in the style's cel steps (a rocky mountain), else smooth (a grassy knoll).
    Relief(const Distances& inside, double top, double falloff, double rough, const char* seed,
           double lx, double ly, bool cel)
        : mInside(inside), mTop(top), mFalloff(falloff), mRough(rough), mCel(cel) {
        const uint64_t n = SeedOf(seed);
        mNoise = std::make_unique<Field>([&](int x, int y) {
            return drawkit::ValueNoise(n, x / 110.0, y / 110.0) +
                   0.35 * drawkit::ValueNoise(n + 1, x / 37.0, y / 37.0) - 0.675;
        });
        const double length = std::sqrt(lx * lx + ly * ly + 1.1 * 1.1);
        mLx = lx / length;
        mLy = ly / length;
        mLz = 1.1 / length;
    }
    double Height(double x, double y) const {
        const double d = mInside.At(x, y);
        return mTop * (1 - std::exp(-d / mFalloff)) +
               mRough * mNoise->At(x, y) * std::min(1.0, d / 12);
    }
    // How much more (up to 1) or less (down to -1) light the slope gets than flat ground, in
    // the style's cel steps: lit, plain or shaded, with a narrow soft band between them.
    double Light(int x, int y) const {
        const double gx = (Height(x + 2, y) - Height(x - 2, y)) / 4;
        const double gy = (Height(x, y + 2) - Height(x, y - 2)) / 4;
        const double length = std::sqrt(gx * gx + gy * gy + 1);
        const double lit =
            std::clamp(((-gx * mLx - gy * mLy + mLz) / length - mLz) * 2.5, -1.0, 1.0);
        if (!mCel) return lit;
        auto step = [](double v, double at) { return std::clamp((v - at) / 0.08 + 0.5, 0.0, 1.0); };
        return 0.7 * (step(lit, 0.2) - step(-lit, 0.2)) + 0.3 * lit;
    }

private:
    const Distances& mInside;
    double mTop, mFalloff, mRough;
    bool mCel;
    std::unique_ptr<Field> mNoise;
    double mLx = 0, mLy = 0, mLz = 1;
};

bool IsWaterGround(Ground g) {
    return g == Ground::kWater;
}
bool IsWet(Ground g) {
    return g == Ground::kWater || g == Ground::kShallows;
}
bool IsCliff(Ground g) {
    return g == Ground::kCliff;
}
bool IsNotCliff(Ground g) {
    return g != Ground::kCliff;
}
bool IsHill(Ground g) {
    return g == Ground::kHill;
}
bool IsNotForest(Ground g) {
    return g != Ground::kForest;
}
bool IsNotGreen(Ground g) {
    return g != Ground::kGrass && g != Ground::kMeadow && g != Ground::kHill;
}

struct Ramps {
    const drawkit::Ramp *grass, *sand, *path, *stone, *stone_dark, *dirt, *water, *water_deep,
        *foam, *cliff, *cliff_dark, *foliage, *foliage_dark, *thatch, *ink, *petal, *bulb, *berry,
        *white;
};

bool FindRamps(const drawkit::Style& style, Ramps* r, std::string* error) {
    const std::map<const char*, const drawkit::Ramp**> wanted = {{"grass", &r->grass},
                                                                 {"sand", &r->sand},
                                                                 {"path", &r->path},
                                                                 {"stone", &r->stone},
                                                                 {"stone_dark", &r->stone_dark},
                                                                 {"dirt", &r->dirt},
                                                                 {"water", &r->water},
                                                                 {"water_deep", &r->water_deep},
                                                                 {"foam", &r->foam},
                                                                 {"cliff", &r->cliff},
                                                                 {"cliff_dark", &r->cliff_dark},
                                                                 {"foliage", &r->foliage},
                                                                 {"foliage_dark", &r->foliage_dark},
                                                                 {"thatch", &r->thatch},
                                                                 {"ink", &r->ink},
                                                                 {"petal", &r->petal},
                                                                 {"bulb", &r->bulb},
                                                                 {"berry", &r->berry},
                                                                 {"white", &r->white}};
    for (const auto& [name, ramp] : wanted) {
        *ramp = style.Find(name);
        if (*ramp == nullptr) {
            *error = std::string("the style has no ramp ") + name + " for the ground";
            return false;
        }
    }
    return true;
}

void PaintPixels(const GroundMask& mask, const drawkit::Style& style, const Ramps& r,
                 drawkit::Canvas* canvas) {
    const Distances depth(mask, IsWaterGround);
    const Distances wet(mask, IsWet);
    const Distances height(mask, IsCliff, true);
    const Distances cliffEdge(mask, IsCliff);
    const Distances nearCliff(mask, IsNotCliff);
    const Distances nearForest(mask, IsNotForest);
    const Distances hill(mask, IsHill);
    // How far a sand pixel lies from grass: its rim blends into the grass beside it.
    const Distances fromGreen(mask, IsNotGreen);
    const PathField paths(mask);
    const uint64_t tintSeed = SeedOf("ground:tint");
    const uint64_t rippleSeed = SeedOf("ground:ripple");
    const Field tint([&](int x, int y) {
        return 0.6 * drawkit::ValueNoise(tintSeed, x / 190.0, y / 190.0) +
               0.3 * drawkit::ValueNoise(tintSeed + 1, x / 61.0, y / 61.0) +
               0.1 * drawkit::ValueNoise(tintSeed + 2, x / 17.0, y / 17.0);
    });
    const uint64_t grainSeed = SeedOf("ground:grain");
    const Field grainField(
        [&](int x, int y) { return drawkit::ValueNoise(grainSeed, x / 3.0, y / 3.0); });
    const Field ripple(
        [&](int x, int y) { return drawkit::ValueNoise(rippleSeed, x / 31.0, y / 27.0); });
    const double lx = style.LightX(), ly = style.LightY();
    const Relief mountain(height, 240, 120, 36, "ground:mountain", lx, ly, true);
    const Relief knoll(hill, 40, 70, 6, "ground:hill", lx, ly, false);
    for (int y = 0; y < kH; ++y) {
        uint32_t* row = canvas->Row(y);
        for (int x = 0; x < kW; ++x) {
            const double t = tint.At(x, y);
            const double grain = grainField.At(x, y) - 0.5;
            drawkit::Rgb c;
            switch (mask.At(x, y)) {
                case Ground::kGrass:
                    c = Along(*r.grass, 0.3 + 0.45 * t + grain * 0.05);
                    break;
                case Ground::kMeadow:
                    c = Mix(Along(*r.grass, 0.32 + 0.45 * t + grain * 0.05), r.thatch->light, 0.05);
                    break;
                case Ground::kHill:
                    c = Along(*r.grass, 0.3 + 0.45 * t + 0.15 * knoll.Light(x, y) + grain * 0.05);
                    break;
                case Ground::kPath:
                    c = Along(*r.grass, 0.3 + 0.45 * t + grain * 0.05);
                    break;
                case Ground::kSand: {
                    const double wave = std::sin((x * 0.6 + y * 0.3) / 6.5 + ripple.At(x, y) * 7);
                    c = Along(*r.sand, 0.45 + 0.25 * t + wave * 0.05 + grain * 0.06);
                    c = Mix(Along(*r.grass, 0.45 + 0.3 * t), c, 0.5 + 0.5 * fromGreen.At(x, y) / 4);
                    break;
                }
                case Ground::kScree:
                    c = Mix(Along(*r.stone, 0.35 + 0.3 * t + grain * 0.12), r.dirt->light,
                            0.3 * ripple.At(x, y));
                    break;
                case Ground::kShallows: {
                    const double wave = std::sin((x + y * 0.4) / 5.0 + ripple.At(x, y) * 9);
                    c = Mix(Mix(r.sand->light, r.water->light, 0.55 + 0.1 * wave), r.foam->base,
                            std::max(0.0, 0.6 - wet.At(x, y) * 0.3));
                    break;
                }
                case Ground::kWater: {
                    const double d = depth.At(x, y);
                    c = d < 40 ? Mix(r.water->light, r.water->base, d / 40)
                               : Mix(r.water->base, r.water_deep->base, (d - 40) / 90);
                    if (d > 130) c = Mix(r.water_deep->base, r.water_deep->shade, (d - 130) / 160);
                    const double wave = std::sin((y * 0.9 + x * 0.15) / 6.0 + ripple.At(x, y) * 8);
                    c = Mix(c, r.water->light, std::max(0.0, wave - 0.85) * 1.2);
                    // Foam along the shore, broken by the noise.
                    if (d < 2.5 + 2.5 * t) c = Mix(c, r.foam->base, 0.9);
                    break;
                }
                case Ground::kCliff: {
                    const double h = mountain.Height(x, y);
                    // Ledges along the height, the rock greying toward the peak.
                    const double ledge = std::sin(h / 8.0 + 3 * tint.At(x, y));
                    c = Along(*r.cliff,
                              0.5 + 0.45 * mountain.Light(x, y) + 0.05 * ledge + grain * 0.08);
                    c = Mix(c, Along(*r.stone, 0.5 + 0.4 * mountain.Light(x, y)),
                            std::clamp((h - 120) / 120, 0.0, 0.6));
                    break;
                }
                case Ground::kForest:
                    c = Along(*r.foliage_dark, 0.1 + 0.2 * t);
                    break;
            }
            // Paths over the green, as their smoothed cells have them.
            const Ground ground = mask.At(x, y);
            if (ground == Ground::kPath || ground == Ground::kGrass || ground == Ground::kMeadow ||
                ground == Ground::kHill) {
                const double on = std::clamp((paths.At(x, y) - 0.3) / 0.2, 0.0, 1.0);
                if (on > 0) c = Mix(c, Along(*r.path, 0.35 + 0.35 * t + grain * 0.08), on);
            }
            // Shadows under cliffs and forest edges, an outline around the cliffs.
            const Ground g = mask.At(x, y);
            if (g != Ground::kCliff) {
                const double d = nearCliff.At(x, y);
                if (d < 9) c = Scale(c, 0.78 + 0.22 * d / 9);
            } else if (cliffEdge.At(x, y) < 2.5) {
                c = Mix(c, r.ink->base, 0.85);
            }
            if (g != Ground::kForest) {
                const double d = nearForest.At(x, y);
                if (d < 7) c = Scale(c, 0.82 + 0.18 * d / 7);
            }
            row[x] = Pack(c);
        }
    }
    // Soften every edge between grounds: each pixel on one takes the mean of its neighbours.
    std::vector<uint32_t> copy(size_t(kW) * kH);
    for (int y = 0; y < kH; ++y)
        std::copy(canvas->Row(y), canvas->Row(y) + kW, copy.begin() + ptrdiff_t(y) * kW);
    for (int y = 1; y < kH - 1; ++y) {
        uint32_t* row = canvas->Row(y);
        for (int x = 1; x < kW - 1; ++x) {
            const Ground g = mask.At(x, y);
            if (g == mask.At(x + 1, y) && g == mask.At(x, y + 1) && g == mask.At(x - 1, y) &&
                g == mask.At(x, y - 1))
                continue;
            drawkit::Rgb sum{0, 0, 0};
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const drawkit::Rgb p = Unpack(copy[size_t(y + dy) * kW + size_t(x + dx)]);
                    sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
                }
            }
            row[x] = Pack({sum.r / 9, sum.g / 9, sum.b / 9});
        }
    }
    canvas->MarkDirty();
}

// The forest's canopy: two lumps a cell, drawn row by row so that nearer lumps overlap farther.
// The lumps are a few pictures drawn once and laid down turned and sized by the seed.
void PaintCanopy(const GroundMask& mask, const drawkit::Style& style, const Ramps& r,
                 drawkit::Canvas* canvas) {
    constexpr int kSide = 64, kShapes = 4;
    std::vector<std::unique_ptr<drawkit::Canvas>> lumps;
    drawkit::FillLook look;
    look.underOutline = true;
    for (const drawkit::Ramp* ramp : {r.foliage_dark, r.foliage}) {
        for (int k = 0; k < kShapes; ++k) {
            auto lump = std::make_unique<drawkit::Canvas>(kSide, kSide);
            drawkit::Seeded random("canopy:" + std::to_string(k));
            drawkit::FillShape(
                lump->Cr(), style, *ramp,
                [&](cairo_t* c) {
                    drawkit::AddCloud(c, kSide / 2.0, kSide / 2.0, 48, 41, 6, random);
                },
                look);
            lump->Flush();
            lumps.push_back(std::move(lump));
        }
    }
    cairo_t* cr = canvas->Cr();
    for (int row = 0; row < IslandMap::kRows; ++row) {
        for (int column = 0; column < IslandMap::kColumns; ++column) {
            const int cx = column * IslandMap::kCell + IslandMap::kCell / 2;
            const int cy = row * IslandMap::kCell + IslandMap::kCell / 2;
            if (mask.At(cx, cy) != Ground::kForest) continue;
            drawkit::Seeded random("canopy:" + std::to_string(column) + "," + std::to_string(row));
            for (int n = 0; n < 2; ++n) {
                const double x = cx + random.Uniform(-7, 7), y = cy + random.Uniform(-9, 5);
                const double scale = random.Uniform(0.72, 1.0);
                const size_t which = size_t(random.Next() % lumps.size());
                cairo_save(cr);
                cairo_translate(cr, x, y);
                cairo_scale(cr, scale, scale);
                cairo_set_source_surface(cr, lumps[which]->Surface(), -kSide / 2.0, -kSide / 2.0);
                cairo_paint(cr);
                cairo_restore(cr);
            }
        }
    }
}

// Stones, flowers, tufts and shells, one chance in every block of 28 pixels.
void PaintScatter(const GroundMask& mask, const drawkit::Style& style, const Ramps& r,
                  drawkit::Canvas* canvas) {
    cairo_t* cr = canvas->Cr();
    constexpr int kBlock = 28;
    for (int by = 0; by < kH / kBlock; ++by) {
        for (int bx = 0; bx < kW / kBlock; ++bx) {
            drawkit::Seeded random("scatter:" + std::to_string(bx) + "," + std::to_string(by));
            const double x = bx * kBlock + random.Uniform(4, kBlock - 4);
            const double y = by * kBlock + random.Uniform(4, kBlock - 4);
            const double roll = random.Uniform(0, 1);
            const Ground g = mask.At(int(x), int(y));
            // Keep off the edges: every thing lies on one ground.
            bool even = true;
            for (int d : {-7, 7})
                even = even && mask.At(int(x) + d, int(y)) == g && mask.At(int(x), int(y) + d) == g;
            if (!even) continue;
            const bool green = g == Ground::kGrass || g == Ground::kHill || g == Ground::kMeadow;
            if ((g == Ground::kMeadow && roll < 0.7) || (green && roll < 0.1)) {
                const drawkit::Ramp& petals =
                    roll < 0.03 ? *r.berry : (roll < 0.35 ? *r.petal : *r.white);
                drawkit::FillLook flat{false, false, 1.0};
                for (int k = 0; k < 5; ++k) {
                    const double a = k * 2 * M_PI / 5;
                    drawkit::FillShape(
                        cr, style, petals,
                        [&](cairo_t* c) {
                            drawkit::AddEllipse(c, x + std::cos(a) * 2.6, y + std::sin(a) * 2.6,
                                                3.4, 3.4);
                        },
                        flat);
                }
                drawkit::FillShape(
                    cr, style, *r.bulb, [&](cairo_t* c) { drawkit::AddEllipse(c, x, y, 2.6, 2.6); },
                    flat);
            } else if ((green && roll < 0.18) || (g == Ground::kPath && roll < 0.12) ||
                       (g == Ground::kScree && roll < 0.65) ||
                       (g == Ground::kSand && roll < 0.05)) {
                const double size =
                    g == Ground::kScree ? random.Uniform(5, 10) : random.Uniform(4, 7);
                drawkit::FillLook look;
                look.outlined = size > 7;
                drawkit::FillShape(
                    cr, style, g == Ground::kScree && roll < 0.2 ? *r.stone_dark : *r.stone,
                    [&](cairo_t* c) {
                        drawkit::AddRock(c, x, y, size, size * 0.7, random.Uniform(0, 180), random);
                    },
                    look);
            } else if (green && roll < 0.5) {
                for (int k = -1; k <= 1; ++k) {
                    drawkit::StrokeShape(
                        cr, style, *r.grass,
                        [&](cairo_t* c) {
                            cairo_move_to(c, x + k * 2.5, y);
                            cairo_curve_to(c, x + k * 2.5, y - 3, x + k * 4, y - 5, x + k * 5,
                                           y - 7);
                        },
                        1.4, false);
                }
            } else if (g == Ground::kSand && roll < 0.1) {
                drawkit::FillShape(cr, style, *r.petal,
                                   [&](cairo_t* c) { drawkit::AddEllipse(c, x, y, 6, 4.5); });
            }
        }
    }
}

}  // namespace

GroundMask::GroundMask(const IslandMap& map) : mPixels(size_t(kWidth) * kHeight) {
    const uint64_t sx = SeedOf("ground:wobble-x"), sy = SeedOf("ground:wobble-y");
    const Field dx([&](int x, int y) { return Wobble(sx, x, y) * kWobble; });
    const Field dy([&](int x, int y) { return Wobble(sy, x, y) * kWobble; });
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            // In cells, with the cells' middles on whole numbers.
            const double u =
                (x + 0.5 + std::clamp(dx.At(x, y), -kWobble, kWobble)) / IslandMap::kCell - 0.5;
            const double v =
                (y + 0.5 + std::clamp(dy.At(x, y), -kWobble, kWobble)) / IslandMap::kCell - 0.5;
            const int c = int(std::floor(u)), r = int(std::floor(v));
            const double su = smooth(u - c), sv = smooth(v - r);
            const Ground grounds[4] = {map.GroundAt(c, r), map.GroundAt(c + 1, r),
                                       map.GroundAt(c, r + 1), map.GroundAt(c + 1, r + 1)};
            const double weights[4] = {(1 - su) * (1 - sv), su * (1 - sv), (1 - su) * sv, su * sv};
            double best = -1;
            Ground chosen = grounds[0];
            for (int a = 0; a < 4; ++a) {
                double sum = 0;
                for (int b = 0; b < 4; ++b)
                    sum += grounds[b] == grounds[a] ? weights[b] : 0;
                if (sum > best) {
                    best = sum;
                    chosen = grounds[a];
                }
            }
            mPixels[size_t(y) * kWidth + size_t(x)] = uint8_t(chosen);
        }
    }
}

bool PaintGround(const GroundMask& mask, const drawkit::Style& style, drawkit::Canvas* canvas,
                 std::string* error) {
    Ramps r;
    if (!FindRamps(style, &r, error)) return false;
    PaintPixels(mask, style, r, canvas);
    PaintScatter(mask, style, r, canvas);
    PaintCanopy(mask, style, r, canvas);
    return true;
}

}  // namespace artgen
