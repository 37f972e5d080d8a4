// The sound generator's building blocks, each a small object that makes or shapes one sample at a
// time at kRate: band-limited oscillators, envelopes, a state-variable filter, a Karplus-Strong
// string, a Schroeder reverb, a peak limiter and seeded noise. Everything is deterministic: the
// same parameters and seed give the same samples on every run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sndgen {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// Equal-tempered frequency of a MIDI note number (69 is A4, 440 Hz).
double NoteHertz(double note);

enum class Wave { kSine, kTriangle, kSaw, kSquare };
// "sine", "triangle", "saw", "square"; false for any other word.
bool ParseWave(const std::string& word, Wave* wave);

// An oscillator whose saw and square are band-limited with polyBLEP (the triangle is the
// integrated square); the frequency may change every sample.
class Oscillator {
public:
    explicit Oscillator(Wave wave, double phase = 0.0) : mWave(wave), mPhase(phase) {}
    double Next(double hertz);

private:
    Wave mWave;
    double mPhase;
    double mIntegrated = 0.0;
};

// Attack, decay, sustain level and release, in seconds; the gate closes at hold seconds.
// Linear attack, exponential-looking decay and release (cubic ease), so that the level is exactly
// 1 at the end of the attack, sustain at the end of the decay and 0 at the end of the release.
struct Adsr {
    double attack = 0.005;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.1;
    // The level at time t of a note held for hold seconds.
    double Level(double t, double hold) const;
    // Where the sound has ended: hold + release.
    double End(double hold) const { return hold + release; }
};

// A topology-preserving state-variable filter (two integrators, trapezoidal): low-pass,
// band-pass and high-pass outputs at once; stable for any cut-off below Nyquist.
class Svf {
public:
    enum class Mode { kLow, kBand, kHigh };
    explicit Svf(Mode mode = Mode::kLow) : mMode(mode) {}
    // q 0.707 is flat; a band-pass is normalised to 1 at its centre.
    double Next(double in, double cutoff, double q);

private:
    Mode mMode;
    double mS1 = 0.0;
    double mS2 = 0.0;
    // The coefficients of the last cut-off and q, worked out again only when they change.
    double mCutoff = -1.0, mQ = -1.0;
    double mK = 0.0, mA1 = 0.0, mA2 = 0.0, mA3 = 0.0;
};
bool ParseFilterMode(const std::string& word, Svf::Mode* mode);

// A plucked string: a burst of seeded noise circulating in a delay line of the note's period,
// averaged (damping 0 keeps it ringing, 1 dulls it at once) with fractional delay by allpass.
class Pluck {
public:
    Pluck(double hertz, double damping, uint64_t seed);
    double Next();

private:
    std::vector<double> mLine;
    size_t mAt = 0;
    double mDamping;
    double mAllpassCoefficient;
    double mAllpassIn = 0.0;
    double mAllpassOut = 0.0;
    double mLast = 0.0;
};

// Noise from a seeded xorshift: white, or pink through Paul Kellet's economy filter.
class Noise {
public:
    explicit Noise(uint64_t seed);
    double White();
    double Pink();
    // Uniform in [0, 1).
    double Uniform();

private:
    uint64_t mState;
    double mB0 = 0, mB1 = 0, mB2 = 0;
};

// A seed from a name (FNV-1a), so every item and layer draws its own numbers.
uint64_t SeedOf(std::string_view name, uint64_t salt = 0);
// A seed from a source file: from its folder's name and its own ("sfx/thud.txt"), never from
// where the sources lie, so every checkout makes the same sounds.
uint64_t SeedOfFile(const std::string& path, uint64_t salt = 0);

// A stereo Schroeder reverb: four damped feedback combs and two allpasses a channel, the right
// channel's lines a little longer. size 0 to 1 sets the decay, damping the combs' dulling.
class Reverb {
public:
    Reverb(double size, double damping);
    // The wet signal for a mono input, into *left and *right.
    void Next(double in, double* left, double* right);

private:
    struct Comb {
        std::vector<double> line;
        size_t at = 0;
        double store = 0.0;
    };
    struct Allpass {
        std::vector<double> line;
        size_t at = 0;
    };
    double RunComb(Comb& comb, double in);
    double RunAllpass(Allpass& allpass, double in);
    Comb mCombs[2][4];
    Allpass mAllpasses[2][2];
    double mFeedback;
    double mDamping;
};

// A look-ahead peak limiter over interleaved frames: no output sample's magnitude exceeds
// ceiling; the gain ramps down over the look-ahead before a peak and recovers over release.
void LimitPeaks(std::vector<float>& samples, int channels, double ceiling,
                double lookaheadSeconds = 0.002, double releaseSeconds = 0.08);

}  // namespace sndgen
