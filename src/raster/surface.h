// TSurface: a rectangle of pixels in one format, the unit every part of the rasterizer works on:
// render targets, depth buffers, texture levels and the sources and destinations of the surface
// utilities.
//
// A surface made by Create owns its memory. One made by Wrap is a view over memory the caller
// holds (a locked DirectDraw surface, say): it never frees it, and the caller keeps the memory
// alive and unmoved for as long as the view is used. Every utility of surfaceops.h takes either
// kind alike. Rows are `Pitch()` bytes apart: the row size rounded up to a
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
    // Makes the surface a view over width x height pixels of the format at `pixels`, rows
    // `pitch` bytes apart (at least width x bytes per pixel; any alignment). Nothing is cleared
    // or copied, and the memory is not freed by this surface. Fails (and leaves the surface
    // empty) for a null pointer, a side below 1 or above kMaxSide, an Unknown format or a pitch
    // shorter than a row.
    bool Wrap(uint8_t* pixels, int width, int height, int pitch, TPixelFormat format);
    // Frees owned memory, or forgets the memory of a view.
    void Destroy();

    // Whether the surface is a view made by Wrap.
    bool IsView() const { return mPixels != nullptr && !mPixels.get_deleter().owned; }

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
    // Frees owned memory only; a view's deleter has owned false.
    struct TFree {
        TFree() noexcept : owned(true) {}
        explicit TFree(bool ownsMemory) noexcept : owned(ownsMemory) {}
        bool owned;
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
