// TurboJPEG decoding the same quality-90 JPEG from memory into a BGRA buffer of its own: the
// yardstick for DecodeJpeg.
#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>

#include "benchimages.h"

static void BM_TurboJpeg_Quality90(benchmark::State& state) {
    const std::string& bytes = bench_images::Jpeg90();
    tjhandle handle = tjInitDecompress();
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    unsigned long size = static_cast<unsigned long>(bytes.size());
    for (auto _ : state) {
        int width, height, subsampling, colorspace;
        if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colorspace) !=
            0) {
            state.SkipWithError(tjGetErrorStr2(handle));
            break;
        }
        uint8_t* pixels =
            static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
        if (tjDecompress2(handle, data, size, pixels, width, width * 4, height, TJPF_BGRA, 0) !=
            0) {
            state.SkipWithError(tjGetErrorStr2(handle));
            std::free(pixels);
            break;
        }
        benchmark::DoNotOptimize(pixels[0]);
        std::free(pixels);
    }
    tjDestroy(handle);
    bench_images::CountMegapixels(state);
}
BENCHMARK(BM_TurboJpeg_Quality90)->Unit(benchmark::kMillisecond);
