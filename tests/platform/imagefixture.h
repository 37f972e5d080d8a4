// Shared by the image decoder tests: image bytes registered as memory files (the decoders read
// through the file layer), the decoded square buffer held until the test ends, and pixels read
// back as 0xAARRGGBB words.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>

#include "foundation/file/fileindex.h"
#include "foundation/file/filemaphandler.h"
#include "platform/image/jp2decoder.h"
#include "platform/image/jpegdecoder.h"
#include "platform/image/pngdecoder.h"
#include "platform/image/squarebuffer.h"
#include "support/logcapture.h"

// One decode's outputs, with the buffer freed by the decoder's own release.
struct Decoded {
    enum Kind { kPng, kJpeg, kJp2 };

    explicit Decoded(Kind kind) : kind(kind) {}
    ~Decoded() {
        if (kind == kPng) ReleasePngPixels(pixels);
        if (kind == kJpeg) ReleaseJpegPixels(pixels);
        if (kind == kJp2) ReleaseJp2Pixels(pixels);
    }
    Decoded(const Decoded&) = delete;
    Decoded& operator=(const Decoded&) = delete;

    // The pixel at (x, y) as 0xAARRGGBB.
    uint32_t At(int x, int y) const {
        const uint8_t* p = pixels + (static_cast<size_t>(y) * side + x) * 4;
        return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    }

    Kind kind;
    bool ok = false;
    uint8_t* pixels = nullptr;
    // Set apart from anything a decode writes, so that an untouched output shows.
    int width = -7;
    int height = -7;
    int side = -7;
    bool hasAlpha = false;
};

class ImageFileTest : public ::testing::Test {
protected:
    // The file index points into the blocks: it lets go before they go.
    void TearDown() override {
        for (const std::string& name : mNames)
            RegisterMemoryFile(name.c_str(), nullptr, 0);
    }

    // Makes the bytes readable as a file of that name for the rest of the test.
    void Put(const std::string& name, const std::string& bytes) {
        mBlocks.push_back(bytes);
        mNames.push_back(name);
        RegisterMemoryFile(name.c_str(), mBlocks.back().data(),
                           static_cast<uint32_t>(mBlocks.back().size()));
    }

    static void Png(const char* name, Decoded* out, int largestSide = kImageLargestSide) {
        out->ok = DecodePng(name, &out->pixels, &out->width, &out->height, &out->side,
                            &out->hasAlpha, largestSide);
    }
    static void Jpeg(const char* name, Decoded* out, int largestSide = kImageLargestSide) {
        out->ok =
            DecodeJpeg(name, &out->pixels, &out->width, &out->height, &out->side, largestSide);
    }
    static void Jp2(const char* name, Decoded* out, int largestSide = kImageLargestSide) {
        out->ok = DecodeJp2(name, &out->pixels, &out->width, &out->height, &out->side,
                            &out->hasAlpha, largestSide);
    }

    testing_support::LogCapture mLog;
    std::deque<std::string> mBlocks;
    std::deque<std::string> mNames;
};
