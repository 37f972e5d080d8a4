// Our decoders (DecodePng, DecodeJpeg, DecodeJp2, each reading a memory file of the file layer)
// on every format, and libpng's simplified API decoding the same PNG bytes from memory into a
// BGRA buffer of its own.
#include <png.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "benchimages.h"

namespace bench_images {

namespace {

// One decode into a new BGRA buffer (freed with std::free); null when it failed.
uint8_t* SimplifiedPng(const std::string& bytes) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return nullptr;
    image.format = PNG_FORMAT_BGRA;
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(PNG_IMAGE_SIZE(image)));
    if (pixels != nullptr && !png_image_finish_read(&image, nullptr, pixels, 0, nullptr)) {
        std::free(pixels);
        return nullptr;
    }
    return pixels;
}

void LibpngSimplified(benchmark::State& state, const char* name) {
    DecodeLibrary(state, FormatNamed(name), SimplifiedPng);
}

void BM_DecodePng_Rgba(benchmark::State& state) {
    DecodeOurs(state, FormatNamed("PNG RGBA"));
}
void BM_LibpngSimplified_Rgba(benchmark::State& state) {
    LibpngSimplified(state, "PNG RGBA");
}
void BM_DecodePng_Rgb(benchmark::State& state) {
    DecodeOurs(state, FormatNamed("PNG RGB"));
}
void BM_LibpngSimplified_Rgb(benchmark::State& state) {
    LibpngSimplified(state, "PNG RGB");
}
void BM_DecodeJpeg_Quality90(benchmark::State& state) {
    DecodeOurs(state, FormatNamed("JPEG q90"));
}
void BM_DecodeJp2_Lossy(benchmark::State& state) {
    DecodeOurs(state, FormatNamed("JP2 lossy"));
}
void BM_DecodeJp2_Lossless(benchmark::State& state) {
    DecodeOurs(state, FormatNamed("JP2 RGBA"));
}

}  // namespace

BENCHMARK(BM_DecodePng_Rgba)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibpngSimplified_Rgba)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePng_Rgb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibpngSimplified_Rgb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJpeg_Quality90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJp2_Lossy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeJp2_Lossless)->Unit(benchmark::kMillisecond);

}  // namespace bench_images
