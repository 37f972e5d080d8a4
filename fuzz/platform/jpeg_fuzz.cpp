// The JPEG decoder on any bytes.
#include "imagefuzz.h"
#include "platform/image/jpegdecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzImageDecoder(
        data, size, "fuzz.jpeg",
        [](const char* name, uint8_t** pixels, int* width, int* height, int* side) {
            return DecodeJpeg(name, pixels, width, height, side, kImageLargestSide);
        },
        ReleaseJpegPixels);
    return 0;
}
