// Measures of captured output against decoded PCM, for the tests that listen to a real device:
// loudness, the normalised correlation at an offset and the gain a stream's volume gives.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace audio_testing {

inline double Rms(const int16_t* samples, size_t count) {
    double sum = 0.0;
    for (size_t i = 0; i < count; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return count != 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

// The normalised correlation of a sound with the capture from an offset on (as far as both go).
inline double Correlation(const std::vector<int16_t>& sound, const std::vector<int16_t>& heard,
                          size_t at) {
    double both = 0.0;
    double mine = 0.0;
    double theirs = 0.0;
    for (size_t i = 0; i < sound.size() && at + i < heard.size(); ++i) {
        both += static_cast<double>(sound[i]) * heard[at + i];
        mine += static_cast<double>(sound[i]) * sound[i];
        theirs += static_cast<double>(heard[at + i]) * heard[at + i];
    }
    return mine > 0.0 && theirs > 0.0 ? both / std::sqrt(mine * theirs) : 0.0;
}

// The amplitude factor of a stream at a volume from 0 to 1: the device is set 50 dB down at 0,
// linearly in decibels.
inline double VolumeGain(float volume) {
    return std::pow(10.0, -(1.0 - volume) * 5000.0 / 2000.0);
}

}  // namespace audio_testing
