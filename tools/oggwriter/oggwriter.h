// Ogg Vorbis files made in memory with libvorbisenc, and decoded straight with libvorbisfile: the
// sound generator encodes the game's sounds with it, and tests, benchmarks and fuzz seeds make
// their own sounds instead of committing them. The same sound and serial give the same bytes
// every time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace oggfile {

struct OggSound {
    int rate = 44100;
    int channels = 2;
    // Interleaved 16-bit samples, frames × channels of them.
    std::vector<int16_t> samples;
    // Vorbis's quality, from -0.1 to 1.
    float quality = 0.3f;
    // The logical stream's serial number.
    int serial = 0x5eed;
};
// The file's bytes; empty when the encoder refuses the rate or channels.
std::string WriteOgg(const OggSound& sound);

// Sounds of frames × channels interleaved samples. A sine tone, each channel an octave above the
// one before; silence; a sweep whose pitch rises all along, so that every stretch of it differs.
std::vector<int16_t> SineTone(int rate, int channels, size_t frames, double hertz,
                              double amplitude = 0.5);
std::vector<int16_t> Silence(int channels, size_t frames);
std::vector<int16_t> Sweep(int rate, int channels, size_t frames, double fromHertz = 200.0,
                           double toHertz = 4000.0, double amplitude = 0.5);

// The file with the granule position of its last page replaced (its checksum made anew): a
// header that declares another length than the data holds.
std::string WithLastGranule(const std::string& ogg, int64_t granule);

// The file decoded with libvorbisfile alone: 16-bit little-endian samples, as the sound engine
// asks the decoder for them.
struct DecodedOgg {
    bool ok = false;
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;
};
DecodedOgg DecodeOgg(const std::string& bytes);

}  // namespace oggfile
