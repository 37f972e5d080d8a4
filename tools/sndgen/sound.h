// A rendered sound before it is written: interleaved frames at kRate, its exact length, and
// whether it loops. The renderers leave what rings on past the length (a release, a reverb's
// tail) in the buffer; Finish folds it into the head of a loop, so that the last sample flows into
// the first, or fades it out of a one-shot. Then the sound is brought to its class's loudness
// under a peak ceiling.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sndgen {

struct Sound {
    int channels = 1;
    size_t length = 0;  // frames kept
    bool loop = false;
    std::vector<float> samples;  // at least length frames; more while a tail rings on
};

// What a sound must sound like when finished: its RMS loudness and its peak ceiling, in dBFS.
struct Loudness {
    double rms = -18.0;
    double ceiling = -3.0;
};

// Folds or fades the tail, sets the loudness (the gain that reaches the RMS target, but at most
// 6 dB over the ceiling, and the limiter takes the peaks down to it) and cuts to length.
void Finish(Sound& sound, const Loudness& loudness);

// A loop's tail folded into its head; the buffer cut to length. Exposed for the tests.
void FoldLoop(Sound& sound);

struct Measure {
    double peakDb = -200.0;
    double rmsDb = -200.0;
    // For a loop: the step from the last frame to the first against the largest step between two
    // frames inside (the larger over the channels), so below 1 is seamless. 0 otherwise.
    double seamRatio = 0.0;
};
Measure MeasureSound(const std::vector<int16_t>& samples, int channels, bool loop);

// To 16-bit, rounded and clamped.
std::vector<int16_t> ToPcm(const std::vector<float>& samples);

}  // namespace sndgen
