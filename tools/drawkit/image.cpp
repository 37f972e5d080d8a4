#include "image.h"

#include <algorithm>
#include <cstring>

namespace drawkit {

InkBox FindInk(const Image& image) {
    InkBox box{image.width, image.height, 0, 0};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.At(x, y)[3] == 0) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    if (box.Empty()) return InkBox{};
    return box;
}

Image TrimToInk(const Image& image, int padding, int* left, int* top) {
    InkBox box = FindInk(image);
    if (box.Empty()) box = InkBox{0, 0, 1, 1};
    box.left -= padding;
    box.top -= padding;
    box.right += padding;
    box.bottom += padding;
    Image out(box.right - box.left, box.bottom - box.top);
    for (int y = 0; y < out.height; ++y) {
        const int sy = y + box.top;
        if (sy < 0 || sy >= image.height) continue;
        for (int x = 0; x < out.width; ++x) {
            const int sx = x + box.left;
            if (sx < 0 || sx >= image.width) continue;
            std::memcpy(out.At(x, y), image.At(sx, sy), 4);
        }
    }
    *left = box.left;
    *top = box.top;
    return out;
}

void Blit(const Image& src, Image* dst, int x, int y) {
    for (int row = 0; row < src.height; ++row) {
        const int dy = y + row;
        if (dy < 0 || dy >= dst->height) continue;
        for (int col = 0; col < src.width; ++col) {
            const int dx = x + col;
            if (dx < 0 || dx >= dst->width) continue;
            std::memcpy(dst->At(dx, dy), src.At(col, row), 4);
        }
    }
}

void BleedTransparent(Image* image) {
    const int w = image->width;
    const int h = image->height;
    const size_t count = size_t(w) * size_t(h);
    std::vector<uint8_t> reached(count, 0);
    std::vector<uint32_t> queue;
    queue.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        if (image->rgba[i * 4 + 3] != 0) {
            reached[i] = 1;
            queue.push_back(uint32_t(i));
        }
    }
    // Nothing to do without ink, or without a transparent pixel.
    if (queue.empty() || queue.size() == count) return;
    for (size_t head = 0; head < queue.size(); ++head) {
        const uint32_t i = queue[head];
        const int x = int(i % uint32_t(w));
        const int y = int(i / uint32_t(w));
        const int nx[4] = {x, x - 1, x + 1, x};
        const int ny[4] = {y - 1, y, y, y + 1};
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) continue;
            const size_t n = size_t(ny[k]) * size_t(w) + size_t(nx[k]);
            if (reached[n]) continue;
            reached[n] = 1;
            std::memcpy(&image->rgba[n * 4], &image->rgba[size_t(i) * 4], 3);
            queue.push_back(uint32_t(n));
        }
    }
}

uint64_t HashImage(const Image& image) {
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](uint8_t byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (int shift = 0; shift < 32; shift += 8) {
        mix(uint8_t(uint32_t(image.width) >> shift));
        mix(uint8_t(uint32_t(image.height) >> shift));
    }
    for (uint8_t byte : image.rgba)
        mix(byte);
    return hash;
}

}  // namespace drawkit
