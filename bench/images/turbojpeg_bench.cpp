// TurboJPEG decoding the same quality-90 JPEG from memory into a BGRA buffer of its own: the
// yardstick for DecodeJpeg.
#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "benchimages.h"

namespace bench_images {

namespace {

// One decode into a new BGRA buffer (freed with std::free); null when it failed, with the error
// in *error.
uint8_t* Decompress(tjhandle handle, const std::string& bytes, const char** error) {
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    unsigned long size = static_cast<unsigned long>(bytes.size());
    int width, height, subsampling, colorspace;
    if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colorspace) != 0) {
        *error = tjGetErrorStr2(handle);
        return nullptr;
    }
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
    if (tjDecompress2(handle, data, size, pixels, width, width * 4, height, TJPF_BGRA, 0) != 0) {
        *error = tjGetErrorStr2(handle);
        std::free(pixels);
        return nullptr;
    }
    return pixels;
}

void BM_TurboJpeg_Quality90(benchmark::State& state) {
    const Format& format = FormatNamed("JPEG q90");
    const std::string& bytes = format.bytes();
    tjhandle handle = tjInitDecompress();
    const char* error = nullptr;
    uint8_t* picture = Decompress(handle, bytes, &error);
    ComparePictures(format, picture != nullptr
                                ? std::vector<uint8_t>(picture, picture + kSide * kSide * 4)
                                : std::vector<uint8_t>());
    std::free(picture);
    for (auto _ : state) {
        uint8_t* pixels = Decompress(handle, bytes, &error);
        if (pixels == nullptr) {
            state.SkipWithError(error);
            break;
        }
        benchmark::DoNotOptimize(pixels[0]);
        std::free(pixels);
    }
    tjDestroy(handle);
    CountMegapixels(state);
}

}  // namespace

BENCHMARK(BM_TurboJpeg_Quality90)->Unit(benchmark::kMillisecond);

}  // namespace bench_images
