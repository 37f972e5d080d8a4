// PNG files the widget tests write and register as memory files for the texture loader: a solid
// picture (RGB or RGBA), and one whose four corners differ, for tests that look at where a picture
// lands. The files are unregistered when the holder goes.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "foundation/file/fileindex.h"
#include "support/imagewriter.h"

namespace uitest {

class TImageFiles {
public:
    TImageFiles() = default;
    TImageFiles(const TImageFiles&) = delete;
    TImageFiles& operator=(const TImageFiles&) = delete;
    ~TImageFiles() {
        for (const std::string& name : mNames)
            RegisterMemoryFile(name.c_str(), nullptr, 0);
    }

    // A picture of one colour 0xAARRGGBB; with alpha an RGBA file, else RGB. colorAt, when
    // given, colours each pixel instead.
    template <class ColorAt>
    void Put(const std::string& name, int width, int height, bool alpha, ColorAt colorAt) {
        testing_support::PngImage image;
        image.width = width;
        image.height = height;
        image.colorType = alpha ? kRgbAlpha : kRgb;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                uint32_t color = colorAt(x, y);
                image.samples.push_back(static_cast<uint16_t>((color >> 16) & 0xFF));
                image.samples.push_back(static_cast<uint16_t>((color >> 8) & 0xFF));
                image.samples.push_back(static_cast<uint16_t>(color & 0xFF));
                if (alpha) image.samples.push_back(static_cast<uint16_t>(color >> 24));
            }
        }
        mBlocks.push_back(testing_support::WritePng(image));
        mNames.push_back(name);
        RegisterMemoryFile(name.c_str(), mBlocks.back().data(),
                           static_cast<uint32_t>(mBlocks.back().size()));
    }
    void PutSolid(const std::string& name, int width, int height, uint32_t color,
                  bool alpha = false) {
        Put(name, width, height, alpha, [color](int, int) { return color; });
    }

private:
    // PNG's colour types.
    static constexpr int kRgb = 2;
    static constexpr int kRgbAlpha = 6;

    std::deque<std::string> mBlocks;
    std::deque<std::string> mNames;
};

}  // namespace uitest
