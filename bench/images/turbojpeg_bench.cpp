// TurboJPEG decoding the same quality-90 JPEG from memory into a BGRA buffer of its own: the
// yardstick for DecodeJpeg.
#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "benchimages.h"

namespace bench_images {

namespace {

// One decode into a new BGRA buffer (freed with std::free); null when it failed.
uint8_t* Decompress(tjhandle handle, const std::string& bytes) {
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    unsigned long size = static_cast<unsigned long>(bytes.size());
    int width, height, subsampling, colorspace;
    if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colorspace) != 0)
        return nullptr;
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
    if (tjDecompress2(handle, data, size, pixels, width, width * 4, height, TJPF_BGRA, 0) != 0) {
        std::free(pixels);
        return nullptr;
    }
    return pixels;
}

void BM_TurboJpeg_Quality90(benchmark::State& state) {
    tjhandle handle = tjInitDecompress();
    DecodeLibrary(state, FormatNamed("JPEG q90"),
                  [handle](const std::string& bytes) { return Decompress(handle, bytes); });
    tjDestroy(handle);
}

}  // namespace

BENCHMARK(BM_TurboJpeg_Quality90)->Unit(benchmark::kMillisecond);

}  // namespace bench_images
