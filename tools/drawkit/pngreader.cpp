#include "pngreader.h"

#include <png.h>

#include <cstring>

namespace drawkit {

bool DecodePng(const std::string& bytes, Image* out, std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
        *error = std::string("not a PNG: ") + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    if (image.width == 0 || image.height == 0 || image.width > 16384 || image.height > 16384) {
        png_image_free(&image);
        *error = "a PNG of " + std::to_string(image.width) + " x " + std::to_string(image.height);
        return false;
    }
    Image decoded(int(image.width), int(image.height));
    if (!png_image_finish_read(&image, nullptr, decoded.rgba.data(), 0, nullptr)) {
        *error = std::string("a broken PNG: ") + image.message;
        png_image_free(&image);
        return false;
    }
    *out = std::move(decoded);
    return true;
}

}  // namespace drawkit
