#include "pngwriter.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace drawkit {

namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void Flush(png_structp) {}

}  // namespace

bool EncodePng(const Image& source, int zlibLevel, std::string* out, std::string* error) {
    if (source.width <= 0 || source.height <= 0) {
        *error = "an empty picture";
        return false;
    }
    Image image = source;
    BleedTransparent(&image);
    std::vector<png_bytep> rows(size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        rows[size_t(y)] = image.At(0, y);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png == nullptr ? nullptr : png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        *error = "libpng could not start";
        return false;
    }
    std::string bytes;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        *error = "libpng refused the picture";
        return false;
    }
    png_set_write_fn(png, &bytes, Append, Flush);
    png_set_compression_level(png, zlibLevel);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    *out = std::move(bytes);
    return true;
}

}  // namespace drawkit
