// TSurface: a rectangle of pixels in one format, the unit every part of the rasterizer works on:
// render targets, depth buffers, texture levels and the sources and destinations of the surface
// utilities.
//
// A surface owns its memory. Rows are `Pitch()` bytes apart: the row size rounded up to a
// multiple of the row alignment given at creation (4 bytes unless the caller asks otherwise; the
// port layer's DirectDraw surfaces ask for 64, as display memory often has, so that code which
// takes the pitch for width x bytes shows up). The first row starts on a 64-byte boundary. The
// memory stays where it is for the surface's whole life, so a caller may keep the row pointers
// while it holds the surface.
//
// Drawing is immediate: every draw call of the rasterizer has finished writing before it returns,
// so a surface's memory may be read, locked or copied at any time between calls.
//
// Not thread-safe: one thread uses a surface at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "raster/pixelformat.h"

namespace raster {

class TSurface {
public:
    // Sides above this are refused (the rasterizer's fixed-point set-up relies on it).
    static constexpr int kMaxSide = 16384;

    TSurface() = default;
    TSurface(TSurface&&) noexcept = default;
    TSurface& operator=(TSurface&&) noexcept = default;
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;

    // Largest row alignment Create accepts.
    static constexpr int kMaxRowAlignment = 4096;

    // Allocates width x height pixels, all bytes 0, each row padded to a multiple of
    // rowAlignment bytes. Fails (and leaves the surface empty) for a side below 1 or above
    // kMaxSide, an Unknown format, a row alignment that is not a power of two from 1 to
    // kMaxRowAlignment, or when memory runs out.
    bool Create(int width, int height, TPixelFormat format, int rowAlignment = 4);
    void Destroy();

    bool IsEmpty() const { return mPixels == nullptr; }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    int Pitch() const { return mPitch; }
    TPixelFormat Format() const { return mFormat; }
    int BytesPerPixel() const { return mBytesPerPixel; }

    uint8_t* Pixels() { return mPixels.get(); }
    const uint8_t* Pixels() const { return mPixels.get(); }
    uint8_t* Row(int y) { return mPixels.get() + static_cast<size_t>(y) * mPitch; }
    const uint8_t* Row(int y) const { return mPixels.get() + static_cast<size_t>(y) * mPitch; }
    uint8_t* At(int x, int y) { return Row(y) + static_cast<size_t>(x) * mBytesPerPixel; }
    const uint8_t* At(int x, int y) const {
        return Row(y) + static_cast<size_t>(x) * mBytesPerPixel;
    }

    // One pixel as 0xAARRGGBB by replication, and one pixel written by truncation; (x, y) must
    // lie inside. For tests and slow paths.
    uint32_t GetPixel(int x, int y) const { return DecodePixel(mFormat, At(x, y)); }
    void SetPixel(int x, int y, uint32_t color) { EncodePixel(mFormat, color, At(x, y)); }

private:
    struct TFree {
        void operator()(uint8_t* p) const;
    };
    std::unique_ptr<uint8_t[], TFree> mPixels;
    int mWidth = 0;
    int mHeight = 0;
    int mPitch = 0;
    int mBytesPerPixel = 0;
    TPixelFormat mFormat = TPixelFormat::Unknown;
};

}  // namespace raster
