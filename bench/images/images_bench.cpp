// DecodePng and DecodeJpeg, reading memory files of the file layer, against libpng's simplified
// API decoding the same bytes from memory into a BGRA buffer of its own.
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "benchimages.h"
#include "foundation/file/fileindex.h"
#include "platform/image/jpegdecoder.h"
#include "platform/image/pngdecoder.h"
#include "platform/image/squarebuffer.h"
#include "support/imagewriter.h"

namespace bench_images {

namespace {

// Soft waves of colour, the way a painted background changes, and a little noise.
uint8_t Channel(int x, int y, int channel) {
    double wave = std::sin(x * (0.011 + channel * 0.003)) * std::cos(y * (0.007 + channel * 0.002));
    uint32_t noise = (static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                      static_cast<uint32_t>(channel) * 83492791u) %
                     7;
    return static_cast<uint8_t>(120 + wave * 100 + noise);
}

std::string MakePng(bool alpha) {
    testing_support::PngImage image;
    image.width = kSide;
    image.height = kSide;
    image.colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            for (int c = 0; c < 3; ++c)
                image.samples.push_back(Channel(x, y, c));
            if (alpha) image.samples.push_back(static_cast<uint16_t>((x + y) / 8 & 0xFF));
        }
    }
    return testing_support::WritePng(image);
}

std::string MakeJpeg() {
    testing_support::JpegImage image;
    image.width = kSide;
    image.height = kSide;
    image.quality = 90;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            for (int c = 0; c < 3; ++c)
                image.samples.push_back(Channel(x, y, c));
        }
    }
    return testing_support::WriteJpeg(image);
}

void DecodeMemoryPng(benchmark::State& state, const std::string& bytes) {
    RegisterMemoryFile("bench.png", bytes.data(), static_cast<uint32_t>(bytes.size()));
    for (auto _ : state) {
        uint8_t* pixels = nullptr;
        int width, height, side;
        bool hasAlpha;
        if (!DecodePng("bench.png", &pixels, &width, &height, &side, &hasAlpha,
                       kImageLargestSide)) {
            state.SkipWithError("DecodePng failed");
            break;
        }
        benchmark::DoNotOptimize(pixels[0]);
        ReleasePngPixels(pixels);
    }
    RegisterMemoryFile("bench.png", nullptr, 0);
    CountMegapixels(state);
}

void SimplifiedPng(benchmark::State& state, const std::string& bytes) {
    for (auto _ : state) {
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
            state.SkipWithError("png_image_begin_read_from_memory failed");
            break;
        }
        image.format = PNG_FORMAT_BGRA;
        uint8_t* pixels = static_cast<uint8_t*>(std::malloc(PNG_IMAGE_SIZE(image)));
        if (!png_image_finish_read(&image, nullptr, pixels, 0, nullptr)) {
            state.SkipWithError("png_image_finish_read failed");
            std::free(pixels);
            break;
        }
        benchmark::DoNotOptimize(pixels[0]);
        std::free(pixels);
    }
    CountMegapixels(state);
}

}  // namespace

const std::string& RgbaPng() {
    static const std::string bytes = MakePng(true);
    return bytes;
}

const std::string& RgbPng() {
    static const std::string bytes = MakePng(false);
    return bytes;
}

const std::string& Jpeg90() {
    static const std::string bytes = MakeJpeg();
    return bytes;
}

}  // namespace bench_images

using namespace bench_images;

static void BM_DecodePng_Rgba(benchmark::State& state) {
    DecodeMemoryPng(state, RgbaPng());
}
BENCHMARK(BM_DecodePng_Rgba)->Unit(benchmark::kMillisecond);

static void BM_LibpngSimplified_Rgba(benchmark::State& state) {
    SimplifiedPng(state, RgbaPng());
}
BENCHMARK(BM_LibpngSimplified_Rgba)->Unit(benchmark::kMillisecond);

static void BM_DecodePng_Rgb(benchmark::State& state) {
    DecodeMemoryPng(state, RgbPng());
}
BENCHMARK(BM_DecodePng_Rgb)->Unit(benchmark::kMillisecond);

static void BM_LibpngSimplified_Rgb(benchmark::State& state) {
    SimplifiedPng(state, RgbPng());
}
BENCHMARK(BM_LibpngSimplified_Rgb)->Unit(benchmark::kMillisecond);

static void BM_DecodeJpeg_Quality90(benchmark::State& state) {
    const std::string& bytes = Jpeg90();
    RegisterMemoryFile("bench.jpg", bytes.data(), static_cast<uint32_t>(bytes.size()));
    for (auto _ : state) {
        uint8_t* pixels = nullptr;
        int width, height, side;
        if (!DecodeJpeg("bench.jpg", &pixels, &width, &height, &side, kImageLargestSide)) {
            state.SkipWithError("DecodeJpeg failed");
            break;
        }
        benchmark::DoNotOptimize(pixels[0]);
        ReleaseJpegPixels(pixels);
    }
    RegisterMemoryFile("bench.jpg", nullptr, 0);
    CountMegapixels(state);
}
BENCHMARK(BM_DecodeJpeg_Quality90)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
