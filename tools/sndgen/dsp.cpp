#include "dsp.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace sndgen {

double NoteHertz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

bool ParseWave(const std::string& word, Wave* wave) {
    if (word == "sine")
        *wave = Wave::kSine;
    else if (word == "triangle")
        *wave = Wave::kTriangle;
    else if (word == "saw")
        *wave = Wave::kSaw;
    else if (word == "square")
        *wave = Wave::kSquare;
    else
        return false;
    return true;
}

namespace {

// The polyBLEP residual at phase t (0 to 1) for a step of one period's increment dt.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double Cube(double x) {
    return x * x * x;
}

}  // namespace

double Oscillator::Next(double hertz) {
    const double dt = std::clamp(hertz / kRate, 0.0, 0.5);
    const double t = mPhase;
    double value = 0.0;
    switch (mWave) {
        case Wave::kSine:
            value = std::sin(2.0 * kPi * t);
            break;
        case Wave::kTriangle:
            value = 4.0 * std::abs(t - 0.5) - 1.0;
            break;
        case Wave::kSaw:
            value = 2.0 * t - 1.0 - PolyBlep(t, dt);
            break;
        case Wave::kSquare: {
            double half = t + 0.5;
            if (half >= 1.0) half -= 1.0;
            value = (t < 0.5 ? 1.0 : -1.0) + PolyBlep(t, dt) - PolyBlep(half, dt);
            break;
        }
    }
    mPhase += dt;
    if (mPhase >= 1.0) mPhase -= 1.0;
    return value;
}

double Adsr::Level(double t, double hold) const {
    auto held = [this](double at) {
        if (at < 0.0) return 0.0;
        if (at < attack) return at / attack;
        if (at < attack + decay)
            return sustain + (1.0 - sustain) * Cube(1.0 - (at - attack) / decay);
        return sustain;
    };
    if (t < hold) return held(t);
    if (t >= hold + release || release <= 0.0) return 0.0;
    return held(hold) * Cube(1.0 - (t - hold) / release);
}

double Svf::Next(double in, double cutoff, double q) {
    // The tangent is dear: a cut-off that moved by less than a fifth of a percent keeps it.
    if (std::abs(cutoff - mCutoff) > 0.002 * mCutoff || q != mQ) {
        mCutoff = cutoff;
        mQ = q;
        const double g = std::tan(kPi * std::clamp(cutoff, 10.0, 0.49 * kRate) / kRate);
        mK = 1.0 / std::max(q, 0.05);
        mA1 = 1.0 / (1.0 + g * (g + mK));
        mA2 = g * mA1;
        mA3 = g * mA2;
    }
    const double k = mK, a1 = mA1, a2 = mA2, a3 = mA3;
    const double v3 = in - mS2;
    const double v1 = a1 * mS1 + a2 * v3;
    const double v2 = mS2 + a2 * mS1 + a3 * v3;
    mS1 = 2.0 * v1 - mS1;
    mS2 = 2.0 * v2 - mS2;
    switch (mMode) {
        case Mode::kLow:
            return v2;
        case Mode::kBand:
            return k * v1;
        case Mode::kHigh:
            return in - k * v1 - v2;
    }
    return v2;
}

bool ParseFilterMode(const std::string& word, Svf::Mode* mode) {
    if (word == "lp")
        *mode = Svf::Mode::kLow;
    else if (word == "bp")
        *mode = Svf::Mode::kBand;
    else if (word == "hp")
        *mode = Svf::Mode::kHigh;
    else
        return false;
    return true;
}

Pluck::Pluck(double hertz, double damping, uint64_t seed)
    : mDamping(std::clamp(damping, 0.0, 1.0)) {
    // The loop delays the period: the line, half a sample in the averager, the allpass's fraction.
    const double period = std::max(kRate / std::max(hertz, 20.0) - 0.5, 2.0);
    const size_t length = static_cast<size_t>(period - 0.1);
    const double fraction = period - static_cast<double>(length);
    mAllpassCoefficient = (1.0 - fraction) / (1.0 + fraction);
    mLine.resize(length);
    Noise noise(seed);
    double smooth = 0.0;
    const double dull = 0.8 * mDamping;
    for (double& sample : mLine) {
        smooth = dull * smooth + (1.0 - dull) * noise.White();
        sample = smooth;
    }
}

double Pluck::Next() {
    const double out = mLine[mAt];
    const double loss = 0.999 - 0.03 * mDamping;
    const double averaged = loss * 0.5 * (out + mLast);
    mLast = out;
    const double shifted =
        mAllpassCoefficient * averaged + mAllpassIn - mAllpassCoefficient * mAllpassOut;
    mAllpassIn = averaged;
    mAllpassOut = shifted;
    mLine[mAt] = shifted;
    if (++mAt == mLine.size()) mAt = 0;
    return out;
}

Noise::Noise(uint64_t seed) : mState(seed ? seed : 0x9e3779b97f4a7c15ull) {}

double Noise::Uniform() {
    mState ^= mState >> 12;
    mState ^= mState << 25;
    mState ^= mState >> 27;
    return static_cast<double>((mState * 0x2545f4914f6cdd1dull) >> 11) * 0x1.0p-53;
}

double Noise::White() {
    return 2.0 * Uniform() - 1.0;
}

double Noise::Pink() {
    const double white = White();
    mB0 = 0.99765 * mB0 + white * 0.0990460;
    mB1 = 0.96300 * mB1 + white * 0.2965164;
    mB2 = 0.57000 * mB2 + white * 1.0526913;
    return (mB0 + mB1 + mB2 + white * 0.1848) * 0.25;
}

uint64_t SeedOf(std::string_view name, uint64_t salt) {
    uint64_t hash = 0xcbf29ce484222325ull ^ salt;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

uint64_t SeedOfFile(const std::string& path, uint64_t salt) {
    const std::filesystem::path file(path);
    const std::string key = (file.parent_path().filename() / file.filename()).generic_string();
    return SeedOf(key, salt);
}

Reverb::Reverb(double size, double damping)
    : mFeedback(0.7 + 0.28 * std::clamp(size, 0.0, 1.0)), mDamping(std::clamp(damping, 0.0, 0.95)) {
    constexpr size_t kCombs[4] = {1116, 1188, 1277, 1356};
    constexpr size_t kAllpasses[2] = {556, 441};
    constexpr size_t kSpread = 23;
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 4; ++i)
            mCombs[side][i].line.assign(kCombs[i] + side * kSpread, 0.0);
        for (int i = 0; i < 2; ++i)
            mAllpasses[side][i].line.assign(kAllpasses[i] + side * kSpread, 0.0);
    }
}

double Reverb::RunComb(Comb& comb, double in) {
    const double out = comb.line[comb.at];
    comb.store = out * (1.0 - mDamping) + comb.store * mDamping;
    comb.line[comb.at] = in + comb.store * mFeedback;
    if (++comb.at == comb.line.size()) comb.at = 0;
    return out;
}

double Reverb::RunAllpass(Allpass& allpass, double in) {
    const double delayed = allpass.line[allpass.at];
    allpass.line[allpass.at] = in + delayed * 0.5;
    if (++allpass.at == allpass.line.size()) allpass.at = 0;
    return delayed - in;
}

void Reverb::Next(double in, double* left, double* right) {
    double* outs[2] = {left, right};
    for (int side = 0; side < 2; ++side) {
        double sum = 0.0;
        for (Comb& comb : mCombs[side])
            sum += RunComb(comb, in * 0.05);
        for (Allpass& allpass : mAllpasses[side])
            sum = RunAllpass(allpass, sum);
        *outs[side] = sum;
    }
}

void LimitPeaks(std::vector<float>& samples, int channels, double ceiling, double lookaheadSeconds,
                double releaseSeconds) {
    const size_t frames = samples.size() / static_cast<size_t>(channels);
    if (frames == 0) return;
    std::vector<double> gain(frames);
    for (size_t i = 0; i < frames; ++i) {
        double peak = 0.0;
        for (int c = 0; c < channels; ++c)
            peak = std::max(peak, static_cast<double>(std::abs(samples[i * channels + c])));
        gain[i] = peak > ceiling ? ceiling / peak : 1.0;
    }
    // Backwards: the gain falls linearly over the look-ahead into each dip; forwards: it rises
    // back at the release's pace. Each pass only lowers the gain, so no dip is undone.
    const double fall = 1.0 / std::max(1.0, lookaheadSeconds * kRate);
    for (size_t i = frames - 1; i-- > 0;)
        gain[i] = std::min(gain[i], gain[i + 1] + fall);
    const double rise = 1.0 / std::max(1.0, releaseSeconds * kRate);
    for (size_t i = 1; i < frames; ++i)
        gain[i] = std::min(gain[i], gain[i - 1] + rise);
    const float limit = static_cast<float>(ceiling);
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            float& s = samples[i * channels + c];
            s = std::clamp(static_cast<float>(s * gain[i]), -limit, limit);
        }
    }
}

}  // namespace sndgen
