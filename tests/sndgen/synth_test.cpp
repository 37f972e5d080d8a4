// The synthesiser's parts, measured on what they render.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "dsp.h"
#include "instrument.h"
#include "sound.h"

namespace sndgen {
namespace {

// The frequency, to 1 Hz, of the strongest component of the signal between low and high Hz
// (a plain DFT at every whole frequency over one second of it).
double PeakHertz(const std::vector<double>& signal, int low, int high) {
    double best = 0.0;
    int at = low;
    const size_t n = std::min<size_t>(signal.size(), kRate);
    for (int hertz = low; hertz <= high; ++hertz) {
        std::complex<double> sum = 0.0;
        const double step = 2.0 * kPi * hertz / kRate;
        for (size_t i = 0; i < n; ++i)
            sum += signal[i] * std::polar(1.0, -step * static_cast<double>(i));
        if (std::abs(sum) > best) best = std::abs(sum), at = hertz;
    }
    return at;
}

TEST(SndgenSynth, EveryOscillatorSoundsAt440Hz) {
    for (Wave wave : {Wave::kSine, Wave::kTriangle, Wave::kSaw, Wave::kSquare}) {
        Oscillator oscillator(wave);
        std::vector<double> second(kRate);
        for (double& s : second)
            s = oscillator.Next(440.0);
        EXPECT_EQ(PeakHertz(second, 400, 480), 440) << static_cast<int>(wave);
    }
}

TEST(SndgenSynth, TheEnvelopeMeetsItsBreakpoints) {
    const Adsr envelope{0.1, 0.2, 0.5, 0.3};
    EXPECT_DOUBLE_EQ(envelope.Level(0.0, 1.0), 0.0);
    EXPECT_NEAR(envelope.Level(0.05, 1.0), 0.5, 1e-9);
    EXPECT_NEAR(envelope.Level(0.1, 1.0), 1.0, 1e-9);
    EXPECT_NEAR(envelope.Level(0.3, 1.0), 0.5, 1e-9);
    EXPECT_NEAR(envelope.Level(0.9, 1.0), 0.5, 1e-9);
    EXPECT_NEAR(envelope.Level(1.3, 1.0), 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(envelope.Level(2.0, 1.0), 0.0);
    // Released during the attack: the release starts from the level reached.
    EXPECT_NEAR(envelope.Level(0.05, 0.05), 0.5, 1e-9);
    EXPECT_LT(envelope.Level(0.2, 0.05), 0.5);
}

TEST(SndgenSynth, TheLowPassIsThreeDecibelsDownAtItsCutoff) {
    auto gainAt = [](double hertz, Svf::Mode mode) {
        Svf filter(mode);
        double peak = 0.0;
        for (int i = 0; i < kRate / 2; ++i) {
            const double out = filter.Next(std::sin(2.0 * kPi * hertz * i / kRate), 1000.0, 0.7071);
            if (i > kRate / 4) peak = std::max(peak, std::abs(out));
        }
        return 20.0 * std::log10(peak);
    };
    EXPECT_NEAR(gainAt(1000.0, Svf::Mode::kLow), -3.0, 0.2);
    EXPECT_NEAR(gainAt(1000.0, Svf::Mode::kHigh), -3.0, 0.2);
    EXPECT_NEAR(gainAt(1000.0, Svf::Mode::kBand), 0.0, 0.2);
    EXPECT_NEAR(gainAt(100.0, Svf::Mode::kLow), 0.0, 0.2);
    EXPECT_LT(gainAt(10000.0, Svf::Mode::kLow), -35.0);
}

TEST(SndgenSynth, APluckedStringSoundsAtItsPitch) {
    for (double hertz : {220.0, 440.0, 659.0}) {
        Pluck string(hertz, 0.2, 7);
        std::vector<double> second(kRate);
        for (double& s : second)
            s = string.Next();
        EXPECT_NEAR(PeakHertz(second, static_cast<int>(hertz) - 30, static_cast<int>(hertz) + 30),
                    hertz, 2.0);
    }
}

TEST(SndgenSynth, TheLimiterNeverPassesItsCeiling) {
    Noise noise(3);
    std::vector<float> samples(2 * kRate);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(noise.White() * (i % 5000 < 50 ? 4.0 : 0.3));
    LimitPeaks(samples, 2, 0.5);
    float peak = 0.0f;
    for (float s : samples)
        peak = std::max(peak, std::abs(s));
    EXPECT_LE(peak, 0.5f);
    // Quiet stretches far from a peak keep their level.
    EXPECT_GT(peak, 0.29f);
}

TEST(SndgenSynth, AFoldedLoopFlowsFromItsLastSampleIntoItsFirst) {
    // A tone rendered past the loop's end, then folded: the tail lands on the head.
    Sound sound;
    sound.channels = 1;
    sound.loop = true;
    sound.length = kRate;
    Instrument pad;
    pad.kind = Kind::kSynth;
    pad.numbers["a"] = {0.3};
    pad.numbers["r"] = {0.5};
    pad.words["wave"] = "sine";
    sound.samples.assign(kRate + kRate / 2, 0.0f);
    Note note;
    note.hertz = 220.0;
    note.hold = 1.0;
    RenderNote(pad, note, sound.samples, 0);
    const float beyond = sound.samples[kRate + 100];
    const float head = sound.samples[100];
    FoldLoop(sound);
    ASSERT_EQ(sound.samples.size(), static_cast<size_t>(kRate));
    EXPECT_FLOAT_EQ(sound.samples[100], head + beyond);
    const Measure measure = MeasureSound(ToPcm(sound.samples), 1, true);
    EXPECT_LT(measure.seamRatio, 1.0);
    EXPECT_GT(measure.seamRatio, 0.0);
}

}  // namespace
}  // namespace sndgen
