#include "platform/image/pngdecoder.h"

#include <png.h>

#include <climits>
#include <csetjmp>
#include <cstdlib>

#include "foundation/file/file.h"
#include "platform/image/squarebuffer.h"

namespace {

// Ancillary chunks (text, profiles) may not hold more than this in memory.
constexpr png_alloc_size_t kChunkMemoryCap = 8 * 1024 * 1024;

// One decode's state. libpng reports errors through PngErrorHandler, which leaves the library
// with longjmp to the recovery point; so everything here is a plain value or pointer, nothing
// with a destructor is live between the recovery point and the library calls, and what must be
// freed after an error is reached through this record.
struct PngDecode {
    TFile* file;
    int largestSide;
    png_structp png;
    png_infop info;
    uint8_t* pixels;
    png_bytepp rows;
    png_uint_32 width;
    png_uint_32 height;
    int side;
    bool hasAlpha;
    jmp_buf recovery;
};

// libpng must never get control back from its error function.
[[noreturn]] void PngErrorHandler(png_structp png, png_const_charp /*message*/) {
    PngDecode* decode = static_cast<PngDecode*>(png_get_error_ptr(png));
    longjmp(decode->recovery, 1);
}

void PngWarningHandler(png_structp /*png*/, png_const_charp /*message*/) {}

void PngReadData(png_structp png, png_bytep data, png_size_t length) {
    PngDecode* decode = static_cast<PngDecode*>(png_get_io_ptr(png));
    if (length > static_cast<png_size_t>(INT_MAX) ||
        FileRead(decode->file, data, static_cast<int>(length)) != static_cast<int>(length))
        png_error(png, "Read Error");
}

// The libpng half of a decode, behind its recovery point: true with the outputs and the buffer
// filled; false after any libpng error, leaving what was made in the record for the caller to free.
bool RunPngDecode(PngDecode* decode) {
    if (setjmp(decode->recovery) != 0) return false;

    decode->png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, decode, PngErrorHandler, PngWarningHandler);
    if (decode->png == nullptr) return false;
    decode->info = png_create_info_struct(decode->png);
    if (decode->info == nullptr) return false;
    png_structp png = decode->png;
    png_infop info = decode->info;

    png_set_read_fn(png, decode, PngReadData);
    png_set_sig_bytes(png, 8);
    // libpng refuses a larger image while reading the header, before any row is allocated.
    png_uint_32 limit = static_cast<png_uint_32>(
        decode->largestSide < kImageSideCeiling ? decode->largestSide : kImageSideCeiling);
    png_set_user_limits(png, limit, limit);
    png_set_chunk_malloc_max(png, kChunkMemoryCap);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    if (!ImageFitsLargestSide(width, height, decode->largestSide))
        png_error(png, "Image too large");

    if (bitDepth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
    if (bitDepth < 8) png_set_expand(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS) != 0) png_set_expand(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    double fileGamma = 0.0;
    if (png_get_gAMA(png, info, &fileGamma) != 0) png_set_gamma(png, 2.2, fileGamma);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    // Every colour type ends as four 8-bit channels; rows of another shape would not fit the
    // buffer's stride.
    if (bitDepth != 8 || png_get_channels(png, info) != 4) png_error(png, "Unexpected row layout");
    bool hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;

    int side = SquareSide(width, height);
    size_t stride = static_cast<size_t>(side) * 4;
    // png_read_image writes every pixel of the image (an interlaced one over its passes); a
    // decode that stops early fails and frees the buffer.
    decode->pixels = NewSquareBuffer(side, width, height);
    if (decode->pixels == nullptr) png_error(png, "Visual PNG: out of memory");
    decode->rows = static_cast<png_bytepp>(std::calloc(height, sizeof(png_bytep)));
    if (decode->rows == nullptr) png_error(png, "Visual PNG: out of memory");
    for (png_uint_32 row = 0; row < height; ++row)
        decode->rows[row] = decode->pixels + row * stride;

    png_read_image(png, decode->rows);
    png_read_end(png, nullptr);

    decode->width = width;
    decode->height = height;
    decode->side = side;
    decode->hasAlpha = hasAlpha;
    return true;
}

}  // namespace

bool DecodePng(const str& fileName, uint8_t** pixels, int* width, int* height, int* side,
               bool* hasAlpha, int largestSide) {
    *pixels = nullptr;
    TFile* file = FileOpen(fileName, kFileReadBinary);
    if (file == nullptr) return false;
    png_byte signature[8];
    if (FileRead(file, signature, 8) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        FileClose(file);
        return false;
    }

    PngDecode decode{};
    decode.file = file;
    decode.largestSide = largestSide;
    bool decoded = RunPngDecode(&decode);
    if (decode.png != nullptr)
        png_destroy_read_struct(&decode.png, decode.info != nullptr ? &decode.info : nullptr,
                                nullptr);
    std::free(decode.rows);
    FileClose(file);
    if (!decoded) {
        std::free(decode.pixels);
        return false;
    }
    *pixels = decode.pixels;
    *width = static_cast<int>(decode.width);
    *height = static_cast<int>(decode.height);
    *side = decode.side;
    *hasAlpha = decode.hasAlpha;
    return true;
}

void ReleasePngPixels(uint8_t* pixels) {
    std::free(pixels);
}
