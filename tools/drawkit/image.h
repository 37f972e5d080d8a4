// A picture in memory: straight (not premultiplied) 8-bit red, green, blue, alpha, row by row.
// What every drawing ends as and what the packer, the PNG writer and the contact sheets take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace drawkit {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(size_t(w) * size_t(h) * 4, 0) {}
    uint8_t* At(int x, int y) { return &rgba[(size_t(y) * width + x) * 4]; }
    const uint8_t* At(int x, int y) const { return &rgba[(size_t(y) * width + x) * 4]; }
    bool operator==(const Image& other) const = default;
};

// The smallest rectangle holding every pixel whose alpha is above 0; all zero when none is.
struct InkBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
};
InkBox FindInk(const Image& image);

// The ink of the image with padding transparent pixels on every side (at least a 1 × 1 picture
// when there is no ink); *left and *top get where the result's top-left pixel lies in the image
// (negative when the padding reaches past its edge).
Image TrimToInk(const Image& image, int padding, int* left, int* top);

// Copies src into dst at (x, y) (every pixel, alpha included; no blending).
void Blit(const Image& src, Image* dst, int x, int y);

// Gives every fully transparent pixel the colour of its nearest pixel with some alpha (steps
// through the 4-neighbourhood, ties settled by raster order), keeping its alpha 0, so that a
// scaled or filtered picture shows no dark fringe. An image with no ink is left as it is.
void BleedTransparent(Image* image);

// A 64-bit hash of the size and the bytes (FNV-1a), for finding equal pictures.
uint64_t HashImage(const Image& image);

}  // namespace drawkit
