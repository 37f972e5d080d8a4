// The JPEG-2000 decoder on any bytes.
#include "imagefuzz.h"
#include "platform/image/jp2decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzImageDecoder(
        data, size, "fuzz.jp2",
        [](const char* name, uint8_t** pixels, int* width, int* height, int* side) {
            bool hasAlpha = false;
            return DecodeJp2(name, pixels, width, height, side, &hasAlpha, kImageLargestSide);
        },
        ReleaseJp2Pixels);
    return 0;
}
