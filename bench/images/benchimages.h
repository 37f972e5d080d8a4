// The images the decoder benchmarks decode: 1024 × 1024, made once per run. Each format's
// decoder is set beside its library called directly on the same bytes in memory; before either
// is timed, both pictures are compared.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace bench_images {

constexpr int kSide = 1024;

// A smooth, photo-like picture with a little noise, coded as PNG (RGBA or RGB), as a quality-90
// JPEG, and as JPEG-2000 (a JP2 file): RGB coded lossy at 1:20, and RGBA coded losslessly.
const std::string& RgbaPng();
const std::string& RgbPng();
const std::string& Jpeg90();
const std::string& Jp2Lossy();
const std::string& Jp2Lossless();

// The formats, each with its file, our benchmark's name and its library's.
struct Format {
    const char* name;
    const std::string& (*bytes)();
    const char* file;  // the memory file our decoder reads
    const char* ours;
    const char* library;
};
const std::vector<Format>& Formats();
const Format& FormatNamed(const char* name);

// Our decoder on a format's file, from a memory file of the file layer, one decode an iteration.
void DecodeOurs(benchmark::State& state, const Format& format);
// Our decoder's picture of a format's file, kSide × kSide BGRA pixels row after row (empty when
// it failed).
std::vector<uint8_t> OurPicture(const Format& format);
// Notes whether a library's picture of a format is ours; the summary shows it.
void ComparePictures(const Format& format, const std::vector<uint8_t>& library);
// "same", "differ", or "-" before the comparison was made.
const char* PicturesCompared(const Format& format);
bool PicturesDiffered();

// Reports megapixels decoded per second, one image an iteration.
inline void CountMegapixels(benchmark::State& state) {
    state.counters["MP/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kSide * kSide / 1e6, benchmark::Counter::kIsRate);
}

// A library's decoder on a format's file: decode(bytes) answers a new kSide × kSide BGRA buffer
// (freed with std::free), or null when it failed. Its first picture is compared with ours.
template <typename Decode>
void DecodeLibrary(benchmark::State& state, const Format& format, Decode decode) {
    const std::string& bytes = format.bytes();
    uint8_t* picture = decode(bytes);
    ComparePictures(format, picture != nullptr
                                ? std::vector<uint8_t>(picture, picture + kSide * kSide * 4)
                                : std::vector<uint8_t>());
    std::free(picture);
    for (auto _ : state) {
        uint8_t* pixels = decode(bytes);
        if (pixels == nullptr) {
            state.SkipWithError("the library failed");
            break;
        }
        benchmark::DoNotOptimize(pixels[0]);
        std::free(pixels);
    }
    CountMegapixels(state);
}

}  // namespace bench_images
