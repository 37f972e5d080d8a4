// The PNG decoder on any bytes.
#include "imagefuzz.h"
#include "platform/image/pngdecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzImageDecoder(
        data, size, "fuzz.png",
        [](const char* name, uint8_t** pixels, int* width, int* height, int* side) {
            bool hasAlpha = false;
            return DecodePng(name, pixels, width, height, side, &hasAlpha, kImageLargestSide);
        },
        ReleasePngPixels);
    return 0;
}
