#include "sound.h"

#include <algorithm>
#include <cmath>

#include "dsp.h"

namespace sndgen {
namespace {

double FromDb(double db) {
    return std::pow(10.0, db / 20.0);
}

double ToDb(double level) {
    return level > 0.0 ? 20.0 * std::log10(level) : -200.0;
}

}  // namespace

void FoldLoop(Sound& sound) {
    const size_t channels = static_cast<size_t>(sound.channels);
    const size_t kept = sound.length * channels;
    // A tail longer than the loop wraps round more than once.
    for (size_t i = kept; i < sound.samples.size(); ++i)
        sound.samples[i % kept] += sound.samples[i];
    sound.samples.resize(kept);
}

void Finish(Sound& sound, const Loudness& loudness) {
    const size_t channels = static_cast<size_t>(sound.channels);
    sound.samples.resize(std::max(sound.samples.size(), sound.length * channels), 0.0f);
    if (sound.loop && sound.length > 0) {
        FoldLoop(sound);
    } else {
        sound.samples.resize(sound.length * channels);
        // The last 10 ms fade, so that nothing stops with a click.
        const size_t fade = std::min<size_t>(sound.length, kRate / 100);
        for (size_t i = 0; i < fade; ++i) {
            const float level = static_cast<float>(i) / static_cast<float>(fade);
            for (size_t c = 0; c < channels; ++c)
                sound.samples[(sound.length - 1 - i) * channels + c] *= level;
        }
    }
    double sum = 0.0, peak = 0.0;
    for (float s : sound.samples) {
        sum += static_cast<double>(s) * s;
        peak = std::max(peak, static_cast<double>(std::abs(s)));
    }
    if (sound.samples.empty() || peak == 0.0) return;
    const double rms = std::sqrt(sum / static_cast<double>(sound.samples.size()));
    const double ceiling = FromDb(loudness.ceiling);
    const double gain = std::min(FromDb(loudness.rms) / rms, 2.0 * ceiling / peak);
    for (float& s : sound.samples)
        s = static_cast<float>(s * gain);
    LimitPeaks(sound.samples, sound.channels, ceiling);
}

std::vector<int16_t> ToPcm(const std::vector<float>& samples) {
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<int16_t>(
            std::lround(std::clamp(static_cast<double>(samples[i]), -1.0, 1.0) * 32767.0));
    return pcm;
}

Measure MeasureSound(const std::vector<int16_t>& samples, int channels, bool loop) {
    Measure measure;
    const size_t count = static_cast<size_t>(channels);
    const size_t frames = samples.size() / count;
    if (frames == 0) return measure;
    double sum = 0.0;
    int peak = 0;
    for (int16_t s : samples) {
        sum += static_cast<double>(s) * s;
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    measure.peakDb = ToDb(peak / 32768.0);
    measure.rmsDb = ToDb(std::sqrt(sum / static_cast<double>(samples.size())) / 32768.0);
    if (loop && frames > 1) {
        for (size_t c = 0; c < count; ++c) {
            int inside = 0;
            for (size_t i = 1; i < frames; ++i)
                inside = std::max(inside,
                                  std::abs(samples[i * count + c] - samples[(i - 1) * count + c]));
            const int seam = std::abs(samples[c] - samples[(frames - 1) * count + c]);
            measure.seamRatio =
                std::max(measure.seamRatio,
                         inside > 0 ? static_cast<double>(seam) / inside : (seam > 0 ? 1e9 : 0.0));
        }
    }
    return measure;
}

}  // namespace sndgen
